// The version window of the settings dialog's system menu: the program's
// name, version, what it does, copyright and licence. Windows build only.
#pragma once

#include <windows.h>

void show_about_box(HWND owner);

// The window's procedure and the ids of its lines, for tests.
INT_PTR CALLBACK about_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
enum {
    IDC_ABOUT_NAME = 101,  // "Scrivlet VERSION"
    IDC_ABOUT_DESCRIPTION = 102,
    IDC_ABOUT_COPYRIGHT = 103,
    IDC_ABOUT_LICENCE = 104,
};
