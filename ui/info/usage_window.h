// The usage of Scrivlet.exe /? in a window of its own: the text in a
// read-only box in a fixed-pitch font, the window sized so that no line of
// it wraps. Windows build only.
#pragma once

#include <windows.h>

// Runs the window modally; text is code page 932, lines ending in "\n".
void show_usage_window(HWND owner, const char* text);

// The window's procedure (lParam of WM_INITDIALOG: the text), and the id of
// its text box, for tests that look at the window.
INT_PTR CALLBACK usage_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
enum { IDC_USAGE_TEXT = 100 };
