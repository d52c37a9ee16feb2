#include "ui/progress/worker.h"

#include <stdlib.h>

#include "app/is_signalled.h"
#include "listing/listing_job.h"

// The thread routine: the job's result becomes the thread's exit code.
static unsigned worker_thread_main(void* arg) {
    worker_t* worker = static_cast<worker_t*>(arg);
    return worker->job(worker, worker->job_arg);
}

worker_t* worker_create(void* job_arg) {
    return worker_create_job(listing_job, job_arg);
}

worker_t* worker_create_job(worker_job_fn job, void* job_arg) {
    worker_t* worker = static_cast<worker_t*>(calloc(1, sizeof(worker_t)));
    if (!worker) return nullptr;

    worker->cancel_event = os.event_create(true, false);
    if (!worker->cancel_event) {
        free(worker);
        return nullptr;
    }
    worker->job_arg = job_arg;
    worker->size = sizeof(worker_t);
    worker->job = job;

    // Suspended, so that every field above is in place before the job reads it.
    worker->thread = os.thread_create(worker_thread_main, worker, true);
    if (!worker->thread) {
        os.handle_close(worker->cancel_event);
        free(worker);
        return nullptr;
    }
    return worker;
}

bool worker_start(worker_t* worker) {
    return os.thread_resume(worker->thread);
}

bool worker_cancel(worker_t* worker) {
    if (!worker->cancel_event) return false;
    worker->cancel_requested.store(true);
    return os.event_set(worker->cancel_event);
}

bool worker_is_cancelled(worker_t* worker) {
    return worker->cancel_requested.load() || is_signalled(worker->cancel_event);
}

bool worker_is_finished(worker_t* worker) {
    return is_signalled(worker->thread);
}

HANDLE worker_cancel_event(worker_t* worker) {
    return worker->cancel_event;
}

bool worker_stop(worker_t* worker) {
    if (!worker_is_finished(worker)) {
        worker_cancel(worker);
        os.wait(worker->thread, INFINITE);
    }
    return true;
}

bool worker_release(worker_t* worker) {
    if (!worker) return true;
    // A worker that was never started gets to run now (and sees the cancel
    // request at its first poll); for a started thread this changes nothing.
    os.thread_resume(worker->thread);
    worker_stop(worker);
    os.handle_close(worker->cancel_event);
    worker->cancel_event = nullptr;
    os.handle_close(worker->thread);
    worker->thread = nullptr;
    free(worker);
    return true;
}

DWORD worker_exit_code(worker_t* worker, DWORD fallback) {
    if (!worker_is_finished(worker)) return fallback;
    uint32_t code = 0;
    if (!os.thread_exit_code(worker->thread, &code)) return fallback;
    return code;
}
