// Events and threads for the POSIX build.
//
// Every handle points at a kernel_object_t: a type tag, a mutex, a condition
// variable and the signalled state. Objects are reference counted, because a
// wait in progress, and a thread that is still running, keep the object alive
// after its handle has been closed, as the kernel does.
//
// Divisions: the object record, events, waits, threads, closing.
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>

#include "platform/posix/calls_posix.h"

namespace {

// Tags unlikely to be found at the start of a stray pointer's target.
constexpr uint32_t KIND_EVENT = 0x54564545;   // "EEVT"
constexpr uint32_t KIND_THREAD = 0x44524854;  // "THRD"
constexpr uint32_t KIND_FREED = 0;

struct kernel_object_t {
    uint32_t kind;
    pthread_mutex_t lock;
    pthread_cond_t changed;  // broadcast whenever `signalled` or `suspend_count` changes
    int refs;                // the open handle, each wait in progress, a thread's own run
    bool handle_open;
    bool signalled;  // an event that is set; a thread that has ended

    bool manual_reset;  // events

    uint32_t suspend_count;  // threads: held at the gate while above 0
    uint32_t exit_code;
    thread_start_fn start;
    void* arg;
};

kernel_object_t* object_new(uint32_t kind) {
    kernel_object_t* object = static_cast<kernel_object_t*>(calloc(1, sizeof(kernel_object_t)));
    if (!object) return nullptr;
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    // Time-outs are intervals: a change of the wall clock must not stretch them.
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&object->changed, &attr);
    pthread_condattr_destroy(&attr);
    pthread_mutex_init(&object->lock, nullptr);
    object->kind = kind;
    object->refs = 1;
    object->handle_open = true;
    return object;
}

void object_free(kernel_object_t* object) {
    object->kind = KIND_FREED;
    pthread_cond_destroy(&object->changed);
    pthread_mutex_destroy(&object->lock);
    free(object);
}

// The object of an open handle of the given kind (0: any), locked; null with
// ERROR_INVALID_HANDLE for anything else.
kernel_object_t* lock_handle(HANDLE handle, uint32_t kind) {
    kernel_object_t* object = static_cast<kernel_object_t*>(handle);
    if (handle && handle != INVALID_HANDLE_VALUE &&
        (object->kind == KIND_EVENT || object->kind == KIND_THREAD) && (kind == 0 || object->kind == kind)) {
        pthread_mutex_lock(&object->lock);
        if (object->handle_open) return object;
        pthread_mutex_unlock(&object->lock);
    }
    os_set_last_error(OS_ERROR_INVALID);
    return nullptr;
}

// Drops one reference of a locked object and unlocks it; the last one frees it.
void unlock_and_unref(kernel_object_t* object) {
    bool last = --object->refs == 0;
    pthread_mutex_unlock(&object->lock);
    if (last) object_free(object);
}

timespec deadline_after(uint32_t milliseconds) {
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += milliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return deadline;
}

// Waits on a locked object until it is signalled or the time is up.
bool wait_signalled(kernel_object_t* object, uint32_t milliseconds) {
    if (milliseconds == INFINITE) {
        while (!object->signalled) pthread_cond_wait(&object->changed, &object->lock);
        return true;
    }
    if (milliseconds == 0) return object->signalled;
    timespec deadline = deadline_after(milliseconds);
    while (!object->signalled) {
        if (pthread_cond_timedwait(&object->changed, &object->lock, &deadline) == ETIMEDOUT) {
            return object->signalled;
        }
    }
    return true;
}

void* thread_main(void* arg) {
    kernel_object_t* thread = static_cast<kernel_object_t*>(arg);
    pthread_mutex_lock(&thread->lock);
    while (thread->suspend_count > 0) pthread_cond_wait(&thread->changed, &thread->lock);
    pthread_mutex_unlock(&thread->lock);

    unsigned exit_code = thread->start(thread->arg);

    pthread_mutex_lock(&thread->lock);
    thread->exit_code = exit_code;
    thread->signalled = true;
    pthread_cond_broadcast(&thread->changed);
    unlock_and_unref(thread);
    return nullptr;
}

}  // namespace

// ---- Events ----

HANDLE posix_event_create(bool manual_reset, bool initially_set) {
    kernel_object_t* event = object_new(KIND_EVENT);
    if (!event) {
        posix_fail(ENOMEM);
        return nullptr;
    }
    event->manual_reset = manual_reset;
    event->signalled = initially_set;
    return event;
}

bool posix_event_set(HANDLE handle) {
    kernel_object_t* event = lock_handle(handle, KIND_EVENT);
    if (!event) return false;
    event->signalled = true;
    // Every waiter wakes; with automatic reset the first to take the lock
    // resets the event and the others wait on.
    pthread_cond_broadcast(&event->changed);
    pthread_mutex_unlock(&event->lock);
    return true;
}

// ---- Waits ----

uint32_t posix_wait(HANDLE handle, uint32_t milliseconds) {
    kernel_object_t* object = lock_handle(handle, 0);
    if (!object) return WAIT_FAILED;
    object->refs++;  // the wait outlives a CloseHandle made meanwhile
    bool signalled = wait_signalled(object, milliseconds);
    if (signalled && object->kind == KIND_EVENT && !object->manual_reset) object->signalled = false;
    unlock_and_unref(object);
    return signalled ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

// ---- Threads ----

HANDLE posix_thread_create(thread_start_fn start, void* arg, bool suspended) {
    kernel_object_t* thread = object_new(KIND_THREAD);
    if (!thread) {
        posix_fail(ENOMEM);
        return nullptr;
    }
    thread->suspend_count = suspended ? 1 : 0;
    thread->start = start;
    thread->arg = arg;
    thread->refs = 2;  // the handle and the running thread

    // Detached: the thread's own resources go when it ends, whether or not
    // anybody still holds its handle.
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    // Signals go to the main thread alone, which waits for them; the new
    // thread starts with every signal blocked (it inherits the mask).
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pthread_t id;
    const int failure = pthread_create(&id, &attr, thread_main, thread);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    pthread_attr_destroy(&attr);
    if (failure) {
        object_free(thread);
        os_set_last_error(failure == EAGAIN ? OS_ERROR_NO_THREADS : posix_error_code(failure),
                          (uint32_t)failure);
        return nullptr;
    }
    return thread;
}

bool posix_thread_resume(HANDLE handle) {
    kernel_object_t* thread = lock_handle(handle, KIND_THREAD);
    if (!thread) return false;
    if (thread->suspend_count > 0 && --thread->suspend_count == 0) pthread_cond_broadcast(&thread->changed);
    pthread_mutex_unlock(&thread->lock);
    return true;
}

bool posix_thread_exit_code(HANDLE handle, uint32_t* exit_code) {
    kernel_object_t* thread = lock_handle(handle, KIND_THREAD);
    if (!thread) return false;
    *exit_code = thread->signalled ? thread->exit_code : STILL_ACTIVE;
    pthread_mutex_unlock(&thread->lock);
    return true;
}

// ---- Closing ----

bool posix_handle_close(HANDLE handle) {
    kernel_object_t* object = lock_handle(handle, 0);
    if (!object) return false;
    object->handle_open = false;
    unlock_and_unref(object);
    return true;
}
