// The progress window: runs while the worker lists, and closes itself when
// the worker's thread has ended.
//
// In the Windows program it is a modal dialog that is never shown; its only
// presence on screen is an icon in the notification area whose menu offers
// "キャンセル". The command-line build waits for the worker instead.
#pragma once

#include "platform/platform.h"
#include "ui/progress/worker.h"

enum {
    WM_TRAY_NOTIFY = 0x8001,       // WM_APP + 1: wParam the icon id, lParam the mouse message
    CMD_SHOW_TRAY_MENU = 32770,    // posted by the window to itself to open the menu
    CMD_CANCEL = 40000,            // the menu's only item
    TIMER_WATCH_WORKER = 102,      // polls whether the worker thread has ended
    TIMER_REFRESH_TIP = 103,       // puts the count so far into the tip
    TIP_REFRESH_MS = 1000,         // at most one tip change a second
    TRAY_ICON_UID = 1,             // the icon's id within the window
    PROGRESS_END_WORKER_DONE = 1,  // end code: the worker thread has ended
    PROGRESS_END_SETUP_FAILED = 3  // end code: no icon record or no timer
};

// The window's creation parameter; lives in progress_run's frame.
struct progress_param_t {
    worker_t* worker;    // not owned
    HICON icon;          // not owned
    const char* folder;  // the folder being listed, named in the tip; not owned
};

// Returns once the worker's thread has ended, or at once when the window
// could not be set up (then the caller's release stops the worker). True when
// the window watched the worker to its end. The icon's tip (the Linux
// program's terminal line) tells the folder, code page 932 text, and the
// count of items found so far (ui/progress/progress_text.h).
bool progress_run(HINSTANCE instance, worker_t* worker, HICON icon, const char* folder);

#ifdef _WIN32
// The window procedure and the timer of the progress dialog, for the tests
// that drive the window themselves.
INT_PTR CALLBACK progress_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
VOID CALLBACK progress_timer_proc(HWND window, UINT message, UINT_PTR timer_id, DWORD time);
#endif
