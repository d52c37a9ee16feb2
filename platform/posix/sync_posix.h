// POSIX stand-ins for the Win32 event and thread calls, for the `os` table.
//
// A handle points at a small kernel-object record (an event or a thread) with
// its own mutex and condition variable. Waits, time-outs, manual and automatic
// reset, suspended start and exit codes behave as kernel32 documents them.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

// The name is ignored: there are no named objects. Null on failure.
HANDLE WINAPI posix_CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manual_reset, BOOL initial_state,
                                 LPCSTR name);
BOOL WINAPI posix_SetEvent(HANDLE event);
// Events and threads; a time-out of 0 only polls. WAIT_FAILED for a bad handle.
DWORD WINAPI posix_WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// The previous suspend count (0 for a running or ended thread); (DWORD)-1 for
// a bad handle.
DWORD WINAPI posix_ResumeThread(HANDLE thread);
// STILL_ACTIVE until the thread has ended, then the start routine's result.
BOOL WINAPI posix_GetExitCodeThread(HANDLE thread, LPDWORD exit_code);
// A thread may still run when its handle is closed; it ends on its own and
// frees its record. A thread that was never resumed stays held, as on Windows.
BOOL WINAPI posix_CloseHandle(HANDLE handle);
// The C runtime's thread start. Honours CREATE_SUSPENDED; security is ignored.
// Returns the thread handle, or 0 on failure.
uintptr_t posix_beginthreadex(void* security, unsigned stack_size, thread_start_fn start, void* arg,
                              unsigned flags, unsigned* thread_id);
