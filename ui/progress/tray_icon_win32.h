// The notification-area icon of the progress window: one NOTIFYICONDATAA
// record on the heap, added with retries while the shell is not ready yet.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

enum {
    TRAY_ADD_ATTEMPTS = 21,   // 20 pauses: about 10 seconds in all
    TRAY_ADD_PAUSE_MS = 500,  // between two attempts
};

// The shell calls the tray icon makes, replaceable by tests (put the defaults
// back with `tray_calls = tray_calls_default`).
struct tray_calls_t {
    BOOL(WINAPI* Shell_NotifyIconA)(DWORD message, PNOTIFYICONDATAA data);
    void(WINAPI* Sleep)(DWORD milliseconds);
};
extern tray_calls_t tray_calls;
extern const tray_calls_t tray_calls_default;

// A zero-filled record in the second version of the layout, with the window,
// TRAY_ICON_UID, WM_TRAY_NOTIFY, the icon and the tip (cut to the 128-byte
// field without splitting a double-byte character). Null when out of memory.
NOTIFYICONDATAA* tray_icon_create(HWND window, HICON icon, const char* tip);
// Adds the icon; up to TRAY_ADD_ATTEMPTS tries with a pause after each failure.
bool tray_icon_add(NOTIFYICONDATAA* record);
// tray_icon_create, then tray_icon_add; the record even when adding failed.
NOTIFYICONDATAA* tray_icon_open(HWND window, HICON icon, const char* tip);
// A new tip (cut as above) for the icon; the shell is told only when it differs.
bool tray_icon_set_tip(NOTIFYICONDATAA* record, const char* tip);
bool tray_icon_delete(NOTIFYICONDATAA* record);
