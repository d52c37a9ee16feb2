// Folders read ahead of the walk, in parallel, in the walk's own order.
//
// The queue holds the folders the walk will need, in the order it will need
// them (depth first): a folder's subfolders are queued right after it, so
// before its next sibling. The walk takes them strictly in that order, so
// the list is the same bytes whatever the timing and however many readers
// there are. Readers always take the first folder not yet begun; the walk
// reads the folder it needs itself when nobody has begun it, and while a
// reader finishes it, the walk reads the first folder nobody has begun.
//
// Hand-over: one lock, taken once per folder by a reader (to finish one and
// begin the next together). A thread is woken only when it waits: the walk
// when the folder it needs is read and there was nothing else to read, one
// idle reader when work appears.
//
// Memory: a reader begins a folder only while fewer folders than the
// window's, holding together fewer items than its, are read (or being read)
// and not yet taken by the walk. Beside that window, only the folders on the
// walk's current path are held.
//
// Descriptors: a folder stays open only while it is read and until its last
// subfolder is open, and a reader begins a folder only while fewer folders
// than os.folders_open_max() are open (with those being read). The walk
// reads the folder it needs itself when the readers may not: it never waits
// for a descriptor, and no folder passes for unreadable for want of one.
// Where the folders held for their subfolders reach the limit (a deep tree),
// the highest are closed and opened again when needed (folder_read.cpp).
#pragma once

#include <atomic>

#include "listing/folder_read.h"

// How far the readers may run ahead of the walk.
struct read_window_t {
    unsigned folders;
    size_t items;
};
// A local disk: enough to keep the readers busy while the walk writes.
constexpr read_window_t LOCAL_WINDOW = {256, 128 * 1024};
// A network share, where each folder costs a round trip: far enough that
// while one large folder is fetched the readers go on with the rest, for
// some 20 MB more at the most (bench/README.md).
constexpr read_window_t REMOTE_WINDOW = {4096, 256 * 1024};
// Readers where each folder costs a round trip (a network share): enough to
// keep many requests in flight; measured in bench/README.md.
constexpr unsigned REMOTE_READERS = 16;

struct read_ahead_t {
    lock_t* lock;
    lock_t* folders_lock;         // the readers' settings' (folder_read.h)
    cond_t* head_read;            // the walk waits here for the node it needs
    cond_t* work_queued;          // idle readers wait here
    folder_node_t* head;          // the next node the walk takes
    folder_node_t* first_queued;  // the first node nobody has begun, in walk order; or null
    read_window_t window;
    unsigned ahead_folders;    // nodes read or being read, not yet taken
    size_t ahead_items;        // their items
    unsigned idle_readers;     // readers waiting on work_queued
    unsigned readers_reading;  // readers with a folder begun
    unsigned folder_budget;    // os.folders_open_max()
    std::atomic<unsigned> open_folders;
    bool walk_waits;           // the walk waits on head_read
    bool stopping;             // guarded by the lock; `stop` below tells readers inside a folder
    read_settings_t settings;  // the walk's, with the queue's stop flag, count and lock of open folders
    std::atomic<bool> stop;
    HANDLE* threads;
    unsigned thread_count;
    reader_t* readers;  // one per thread, and the last one for the walk itself
};

// Starts up to `threads` readers (0: the walk reads every folder itself)
// over the queue that holds only `top`, within `window`. The settings are copied, with the
// queue's own stop flag put into them. `filters` holds
// threads + 1 filters, the last for the walk's own reading. Fewer readers
// start when the system has no more threads. False, with its reason in
// os_last_error(), when the queue's own locks or memory cannot be had.
bool read_ahead_start(read_ahead_t* ahead, folder_node_t* top, const read_settings_t* settings,
                      filter_t* const* filters, filter_t* const* skips, unsigned threads,
                      read_window_t window);
// The queue's next node, read: waits for its reader, or reads it at once.
folder_node_t* read_ahead_take(read_ahead_t* ahead);
// Stops the readers and waits for them; nodes still queued are freed.
void read_ahead_stop(read_ahead_t* ahead);
