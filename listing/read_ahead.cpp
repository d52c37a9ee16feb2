#include "listing/read_ahead.h"

#include <system_error>

namespace {

// Puts a read node's children into the walk order right after it, and
// counts it among the nodes read ahead. Called with the lock held.
void complete(read_ahead_t* ahead, folder_node_t* node, folder_node_t* first_child,
              folder_node_t* last_child) {
    if (first_child) {
        last_child->next = node->next;
        node->next = first_child;
    }
    node->state = NODE_READ;
    ahead->ahead_items += node->count;
}

// The first node nobody has begun, when the window has room for it.
folder_node_t* next_to_read(read_ahead_t* ahead) {
    if (ahead->ahead_folders >= READ_AHEAD_FOLDERS || ahead->ahead_items >= READ_AHEAD_ITEMS) return nullptr;
    for (folder_node_t* node = ahead->head; node; node = node->next) {
        if (node->state == NODE_QUEUED) return node;
    }
    return nullptr;
}

void read_node(read_ahead_t* ahead, folder_node_t* node, reader_t* reader) {
    folder_node_t* first_child;
    folder_node_t* last_child;
    read_folder_node(node, &ahead->settings, reader, &first_child, &last_child);
    std::lock_guard<std::mutex> hold(ahead->lock);
    complete(ahead, node, first_child, last_child);
    ahead->changed.notify_all();
}

void reader_main(read_ahead_t* ahead, reader_t* reader) {
    std::unique_lock<std::mutex> hold(ahead->lock);
    while (!ahead->stop.load()) {
        folder_node_t* node = next_to_read(ahead);
        if (!node) {
            ahead->changed.wait(hold);
            continue;
        }
        node->state = NODE_READING;
        ++ahead->ahead_folders;
        hold.unlock();
        read_node(ahead, node, reader);
        hold.lock();
    }
}

}  // namespace

void read_ahead_start(read_ahead_t* ahead, folder_node_t* top, const read_settings_t* settings,
                      filter_t* const* filters, unsigned threads) {
    ahead->head = top;
    ahead->ahead_folders = 0;
    ahead->ahead_items = 0;
    ahead->settings = *settings;
    ahead->settings.stop = &ahead->stop;
    ahead->settings.identity_lock = &ahead->identity_lock;
    ahead->stop = false;
    ahead->readers.resize(threads + 1);
    for (unsigned i = 0; i <= threads; ++i) ahead->readers[i].filter = filters[i];
    for (unsigned i = 0; i < threads; ++i) {
        try {
            ahead->threads.emplace_back(reader_main, ahead, &ahead->readers[i]);
        } catch (const std::system_error&) {
            break;  // the readers that started will do
        }
    }
}

folder_node_t* read_ahead_take(read_ahead_t* ahead) {
    std::unique_lock<std::mutex> hold(ahead->lock);
    folder_node_t* node = ahead->head;
    if (node->state == NODE_QUEUED) {
        node->state = NODE_READING;
        ++ahead->ahead_folders;
        hold.unlock();
        read_node(ahead, node, &ahead->readers.back());
        hold.lock();
    }
    while (node->state != NODE_READ) ahead->changed.wait(hold);
    ahead->head = node->next;
    --ahead->ahead_folders;
    ahead->ahead_items -= node->count;
    ahead->changed.notify_all();
    return node;
}

void read_ahead_stop(read_ahead_t* ahead) {
    {
        std::lock_guard<std::mutex> hold(ahead->lock);
        ahead->stop = true;
        ahead->changed.notify_all();
    }
    for (std::thread& thread : ahead->threads) thread.join();
    ahead->threads.clear();
    // What was read ahead and never taken. Children come after their parent
    // in the order and live in its arena, so the parent is freed last.
    std::vector<folder_node_t*> untaken;
    for (folder_node_t* node = ahead->head; node; node = node->next) untaken.push_back(node);
    for (size_t i = untaken.size(); i-- > 0;) free_folder_node(untaken[i]);
    ahead->head = nullptr;
}
