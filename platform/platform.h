// The one seam between the portable code and the operating system.
//
// The portable code (text, filters, listing, command line, worker) makes
// every call to the system through the table `os`, one row per call at the
// program's own level (platform/os_calls.h). A test can replace any row, by
// its field or by its name, to inject a failure, and put the defaults back
// (os_restore, os_restore_all). platform/posix/ and platform/win32/ each
// serve every row; a failing row leaves its reason in os_last_error(), in
// the program's own error vocabulary (platform/os_error.h).
//
// The types are Win32's where the program speaks Win32 (the dialogs, the
// tray); elsewhere platform/posix/win32_api.h stands in for just those.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/win32_api.h"
#endif

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/native_text.h"
#include "platform/os_calls.h"
#include "platform/os_error.h"

// A lock and a condition to wait on under it (os.lock_*, os.cond_*).
struct lock_t;
struct cond_t;

// A thread's start routine; its result is the thread's exit code.
typedef unsigned (*thread_start_fn)(void* arg);

// A moment in the user's time zone.
struct local_time_t {
    int year;  // 1601 to 30827 on Windows
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

struct platform_calls_t {
#define OS_ROW_FIELD(result, name, params, args, failed) result(*name) params;
    OS_CALLS(OS_ROW_FIELD)
#undef OS_ROW_FIELD
};

// The rows by number, in the order of the list.
enum os_row_t {
#define OS_ROW_NUMBER(result, name, params, args, failed) OS_ROW_##name,
    OS_CALLS(OS_ROW_NUMBER)
#undef OS_ROW_NUMBER
        OS_ROW_COUNT
};

extern platform_calls_t os;
extern const platform_calls_t os_default;

// "folder_open" and the like.
const char* os_row_name(os_row_t row);
// The row of that name; OS_ROW_COUNT when there is none.
os_row_t os_row_named(const char* name);
// Replaces one row by name with a function of the row's own type (cast to
// void (*)()); false for a name that is no row.
bool os_replace(const char* name, void (*call)());
// Puts one row, or every row, back to the platform's own.
bool os_restore(const char* name);
void os_restore_all();
