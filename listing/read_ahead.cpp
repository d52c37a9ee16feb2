#include "listing/read_ahead.h"

#include <stdlib.h>
#include <string.h>

namespace {

bool window_has_room(const read_ahead_t* ahead) {
    return ahead->ahead_folders < ahead->window.folders && ahead->ahead_items < ahead->window.items &&
           ahead->open_folders.load(std::memory_order_relaxed) + ahead->readers_reading <
               ahead->folder_budget;
}

// The first node from `node` on in walk order that a reader may begin:
// nobody has begun it, and no link leads to it (the walk reads those).
folder_node_t* next_queued(folder_node_t* node) {
    while (node && (node->state != NODE_QUEUED || node->through_link)) node = node->next;
    return node;
}

// Takes the node for the calling thread. Called with the lock held.
void begin(read_ahead_t* ahead, folder_node_t* node) {
    node->state = NODE_READING;
    ++ahead->ahead_folders;
    if (ahead->first_queued == node) ahead->first_queued = next_queued(node->next);
}

// Wakes one idle reader when there is work it may begin. With the lock held.
void wake_a_reader(read_ahead_t* ahead) {
    if (ahead->idle_readers > 0 && ahead->first_queued && window_has_room(ahead)) {
        os.cond_wake(ahead->work_queued);
    }
}

// Puts a read node's children into the walk order right after it, and
// counts it among the nodes read ahead. Called with the lock held.
void complete(read_ahead_t* ahead, folder_node_t* node, folder_node_t* first_child,
              folder_node_t* last_child) {
    if (first_child) {
        last_child->next = node->next;
        node->next = first_child;
        folder_node_t* first_for_readers = next_queued(first_child);
        if (first_for_readers &&
            (!ahead->first_queued || node_precedes(first_for_readers, ahead->first_queued))) {
            ahead->first_queued = first_for_readers;
        }
    }
    node->state = NODE_READ;
    ahead->ahead_items += node->count;
    if (node == ahead->head && ahead->walk_waits) os.cond_wake(ahead->head_read);
    if (first_child) wake_a_reader(ahead);
}

// Reads the node the caller has begun; returns with the lock held again.
void read_node(read_ahead_t* ahead, folder_node_t* node, reader_t* reader) {
    os.lock_leave(ahead->lock);
    folder_node_t* first_child;
    folder_node_t* last_child;
    read_folder_node(node, &ahead->settings, reader, &first_child, &last_child);
    os.lock_enter(ahead->lock);
    complete(ahead, node, first_child, last_child);
}

struct reader_start_t {
    read_ahead_t* ahead;
    reader_t* reader;
};

unsigned reader_main(void* arg) {
    read_ahead_t* ahead = ((reader_start_t*)arg)->ahead;
    reader_t* reader = ((reader_start_t*)arg)->reader;
    free(arg);
    os.lock_enter(ahead->lock);
    while (!ahead->stopping) {
        folder_node_t* node = window_has_room(ahead) ? ahead->first_queued : nullptr;
        if (!node) {
            ++ahead->idle_readers;
            os.cond_wait(ahead->work_queued, ahead->lock);
            --ahead->idle_readers;
            continue;
        }
        begin(ahead, node);
        ++ahead->readers_reading;
        // More work than this reader: pass the word on.
        wake_a_reader(ahead);
        read_node(ahead, node, reader);
        --ahead->readers_reading;
    }
    os.lock_leave(ahead->lock);
    return 0;
}

void start_readers(read_ahead_t* ahead, unsigned threads) {
    for (unsigned i = 0; i < threads; ++i) {
        reader_start_t* start = (reader_start_t*)os.malloc(sizeof(reader_start_t));
        if (!start) break;
        *start = reader_start_t{ahead, &ahead->readers[i]};
        HANDLE thread = os.thread_create(reader_main, start, false);
        if (!thread) {
            free(start);
            break;  // the readers that started will do
        }
        ahead->threads[ahead->thread_count++] = thread;
    }
}

void free_queue_records(read_ahead_t* ahead) {
    os.cond_free(ahead->head_read);
    os.cond_free(ahead->work_queued);
    os.lock_free(ahead->lock);
    os.lock_free(ahead->folders_lock);
    if (ahead->readers) {
        for (unsigned i = 0; i <= ahead->thread_count; ++i) free_reader(&ahead->readers[i]);
    }
    free(ahead->readers);
    free(ahead->threads);
    ahead->head_read = ahead->work_queued = nullptr;
    ahead->lock = ahead->folders_lock = nullptr;
    ahead->readers = nullptr;
    ahead->threads = nullptr;
}

}  // namespace

bool read_ahead_start(read_ahead_t* ahead, folder_node_t* top, const read_settings_t* settings,
                      filter_t* const* filters, filter_t* const* skips, unsigned threads,
                      read_window_t window) {
    ahead->head = top;
    ahead->window = window;
    ahead->first_queued = next_queued(top);
    ahead->ahead_folders = 0;
    ahead->ahead_items = 0;
    ahead->idle_readers = 0;
    ahead->readers_reading = 0;
    ahead->open_folders = 0;
    ahead->folder_budget = os.folders_open_max();
    ahead->walk_waits = false;
    ahead->stopping = false;
    ahead->stop = false;
    ahead->thread_count = 0;
    ahead->settings = *settings;
    ahead->settings.stop = &ahead->stop;
    ahead->settings.open_folders = &ahead->open_folders;
    ahead->settings.folders_open_max = ahead->folder_budget;
    ahead->lock = os.lock_create();
    ahead->folders_lock = os.lock_create();
    ahead->settings.folders_lock = ahead->folders_lock;
    ahead->head_read = os.cond_create();
    ahead->work_queued = os.cond_create();
    ahead->threads = (HANDLE*)os.malloc((threads + 1) * sizeof(HANDLE));
    ahead->readers = (reader_t*)os.malloc((threads + 1) * sizeof(reader_t));
    // Set before anything can fail: a failure frees the readers' storage.
    if (ahead->readers) {
        for (unsigned i = 0; i <= threads; ++i)
            ahead->readers[i] = reader_t{filters[i], skips ? skips[i] : nullptr, nullptr, 0};
    }
    if (!ahead->lock || !ahead->folders_lock || !ahead->head_read || !ahead->work_queued || !ahead->threads ||
        !ahead->readers) {
        const os_error_t error = os_last_error();
        free_queue_records(ahead);
        os_set_last_error(error);
        return false;
    }
    start_readers(ahead, threads);
    // The walk's own reader is the last of those made.
    ahead->readers[ahead->thread_count] =
        reader_t{filters[threads], skips ? skips[threads] : nullptr, nullptr, 0};
    return true;
}

folder_node_t* read_ahead_take(read_ahead_t* ahead) {
    os.lock_enter(ahead->lock);
    folder_node_t* node = ahead->head;
    if (node->state == NODE_QUEUED) {
        begin(ahead, node);
        // The readers are behind: what comes after this node is theirs.
        wake_a_reader(ahead);
        read_node(ahead, node, &ahead->readers[ahead->thread_count]);
    }
    while (node->state != NODE_READ) {
        // While a reader finishes it, the walk reads the next folder nobody
        // has begun: it sleeps only when there is none, so a hand-over costs
        // no wait and no wake where the readers keep up.
        folder_node_t* next = window_has_room(ahead) ? ahead->first_queued : nullptr;
        if (next) {
            begin(ahead, next);
            ++ahead->readers_reading;
            read_node(ahead, next, &ahead->readers[ahead->thread_count]);
            --ahead->readers_reading;
            continue;
        }
        ahead->walk_waits = true;
        os.cond_wait(ahead->head_read, ahead->lock);
    }
    ahead->walk_waits = false;
    ahead->head = node->next;
    --ahead->ahead_folders;
    ahead->ahead_items -= node->count;
    // The window has room again, and the node's children may wait.
    wake_a_reader(ahead);
    os.lock_leave(ahead->lock);
    return node;
}

void read_ahead_stop(read_ahead_t* ahead) {
    if (!ahead->lock) return;
    os.lock_enter(ahead->lock);
    ahead->stopping = true;
    ahead->stop = true;
    for (unsigned i = 0; i < ahead->idle_readers; ++i) os.cond_wake(ahead->work_queued);
    os.lock_leave(ahead->lock);
    for (unsigned i = 0; i < ahead->thread_count; ++i) {
        os.wait(ahead->threads[i], INFINITE);
        os.handle_close(ahead->threads[i]);
    }
    // What was read ahead and never taken. Children come after their parent
    // in the order and live in its arena, so they are freed first: the list
    // is walked into an array, then freed from its end.
    size_t untaken = 0;
    for (folder_node_t* node = ahead->head; node; node = node->next) ++untaken;
    folder_node_t** nodes = untaken ? (folder_node_t**)malloc(untaken * sizeof(folder_node_t*)) : nullptr;
    if (nodes) {
        size_t i = 0;
        for (folder_node_t* node = ahead->head; node; node = node->next) nodes[i++] = node;
        while (i-- > 0) free_folder_node(nodes[i], &ahead->settings);
        free(nodes);
    } else {
        // No memory even for that: free them one by one from the end.
        while (ahead->head) {
            folder_node_t* before_last = nullptr;
            folder_node_t* last = ahead->head;
            while (last->next) {
                before_last = last;
                last = last->next;
            }
            free_folder_node(last, &ahead->settings);
            if (before_last) {
                before_last->next = nullptr;
            } else {
                ahead->head = nullptr;
            }
        }
    }
    ahead->head = nullptr;
    free_queue_records(ahead);
}
