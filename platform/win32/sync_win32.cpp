// Threads, events and locks on Windows: kernel32's own, with the program's
// thread routine started through the C runtime.
#include <windows.h>
// after windows.h
#include <process.h>
#include <stdlib.h>

#include "platform/win32/calls_win32.h"

struct lock_t {
    SRWLOCK lock;
};

struct cond_t {
    CONDITION_VARIABLE cond;
};

namespace {

struct thread_start_t {
    thread_start_fn start;
    void* arg;
};

unsigned __stdcall thread_main(void* arg) {
    const thread_start_t start = *(thread_start_t*)arg;
    free(arg);
    return start.start(start.arg);
}

}  // namespace

HANDLE win32_event_create(bool manual_reset, bool initially_set) {
    const HANDLE event = CreateEventW(nullptr, manual_reset, initially_set, nullptr);
    if (!event) win32_fail(GetLastError());
    return event;
}

bool win32_event_set(HANDLE event) {
    if (SetEvent(event)) return true;
    win32_fail(GetLastError());
    return false;
}

uint32_t win32_wait(HANDLE handle, uint32_t milliseconds) {
    const DWORD result = WaitForSingleObject(handle, milliseconds);
    if (result == WAIT_FAILED) win32_fail(GetLastError());
    return result;
}

HANDLE win32_thread_create(thread_start_fn start, void* arg, bool suspended) {
    thread_start_t* record = (thread_start_t*)malloc(sizeof(thread_start_t));
    if (!record) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    *record = thread_start_t{start, arg};
    unsigned id = 0;
    const uintptr_t thread =
        _beginthreadex(nullptr, 0, thread_main, record, suspended ? CREATE_SUSPENDED : 0, &id);
    if (!thread) {
        free(record);
        os_set_last_error(OS_ERROR_NO_THREADS, (uint32_t)GetLastError());
        return nullptr;
    }
    return (HANDLE)thread;
}

bool win32_thread_resume(HANDLE thread) {
    if (ResumeThread(thread) != (DWORD)-1) return true;
    win32_fail(GetLastError());
    return false;
}

bool win32_thread_exit_code(HANDLE thread, uint32_t* exit_code) {
    DWORD code = 0;
    if (!GetExitCodeThread(thread, &code)) {
        win32_fail(GetLastError());
        return false;
    }
    *exit_code = code;
    return true;
}

bool win32_handle_close(HANDLE handle) {
    if (CloseHandle(handle)) return true;
    win32_fail(GetLastError());
    return false;
}

lock_t* win32_lock_create() {
    lock_t* lock = (lock_t*)malloc(sizeof(lock_t));
    if (!lock) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    InitializeSRWLock(&lock->lock);
    return lock;
}

void win32_lock_free(lock_t* lock) {
    free(lock);
}

void win32_lock_enter(lock_t* lock) {
    AcquireSRWLockExclusive(&lock->lock);
}

void win32_lock_leave(lock_t* lock) {
    ReleaseSRWLockExclusive(&lock->lock);
}

cond_t* win32_cond_create() {
    cond_t* cond = (cond_t*)malloc(sizeof(cond_t));
    if (!cond) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    InitializeConditionVariable(&cond->cond);
    return cond;
}

void win32_cond_free(cond_t* cond) {
    free(cond);
}

void win32_cond_wait(cond_t* cond, lock_t* lock) {
    SleepConditionVariableSRW(&cond->cond, &lock->lock, INFINITE, 0);
}

void win32_cond_wake(cond_t* cond) {
    WakeConditionVariable(&cond->cond);
}
