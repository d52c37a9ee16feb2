// toolwind: the program's small library of window helpers.
//
// This header holds the parts every build has: the debug trace and the
// formatted message box. The window-only helpers live beside it.
#pragma once

#include <stdarg.h>

#include "platform/platform.h"

typedef int (*trace_proc_t)(const char* format, ...);

// The current trace procedure; DefaultTraceProc unless a test replaced it.
trace_proc_t GetTraceProc();
// Replaces the trace procedure (null restores the default); returns the old one.
trace_proc_t SetTraceProc(trace_proc_t proc);
// Formats into a 1024-byte buffer and writes it to the debugger output.
int DefaultTraceProc(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Formats the message (at most 1023 characters) and shows it in a message box.
int MessageBoxFormat(HWND owner, const char* caption, UINT style, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;
