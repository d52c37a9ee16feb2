// The worker thread: one run of a job, with a cancel flag the job polls.
//
// Cancellation is cooperative: worker_cancel raises the cancel flag and
// signals the event, and the job notices the flag at its next look (an
// atomic read: the job may look between any two items). The record is
// written before the thread first runs and is read-only afterwards, but for
// the flag, the count of items found and the event.
#pragma once

#include <stdint.h>

#include <atomic>

#include "platform/platform.h"

struct worker_t;
typedef unsigned (*worker_job_fn)(worker_t* worker, void* job_arg);

struct worker_t {
    uint32_t size;        // the record's own size
    HANDLE thread;        // signalled once the thread has ended
    HANDLE cancel_event;  // manual reset; signalled for good once cancel is asked
    worker_job_fn job;
    void* job_arg;  // owned by the caller, alive until worker_release
    // Items found so far, written by the job and read by the progress display.
    std::atomic<uint64_t> found;
    // Raised for good once a cancel is asked; a signal handler may raise it.
    std::atomic<bool> cancel_requested;
};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler raises the cancel flag");

// A worker whose job is listing_job over the listing_run_t at job_arg; its thread
// is created suspended. Null on any failure, with nothing leaked.
worker_t* worker_create(void* job_arg);
// The same for any job (tests and tools).
worker_t* worker_create_job(worker_job_fn job, void* job_arg);

bool worker_start(worker_t* worker);
bool worker_cancel(worker_t* worker);
// Raises the flag alone, without the event's lock: async-signal-safe. The
// waiting thread signals the event later (worker_cancel) for waits on it.
inline void worker_cancel_from_signal(worker_t* worker) {
    worker->cancel_requested.store(true);
}
bool worker_is_cancelled(worker_t* worker);
bool worker_is_finished(worker_t* worker);
HANDLE worker_cancel_event(worker_t* worker);
// When the thread still runs: signal cancel and wait for its end.
bool worker_stop(worker_t* worker);
// Resumes a never-started thread, stops it, closes the handles, frees the record.
bool worker_release(worker_t* worker);
// The job counts the items it has found; any thread may read the count.
inline void worker_add_found(worker_t* worker, uint64_t count) {
    worker->found.fetch_add(count, std::memory_order_relaxed);
}
inline uint64_t worker_found(const worker_t* worker) {
    return worker->found.load(std::memory_order_relaxed);
}
// The job's result once the thread has ended; `fallback` before that.
DWORD worker_exit_code(worker_t* worker, DWORD fallback);
