// The settings dialog's procedure and window properties, for the dialog
// itself and for tests that drive it. Windows build only.
#pragma once

#include <windows.h>

// The dialog_param_t the dialog edits, and its tooltip window.
#define PROP_DIALOGPARAM "PROP_DIALOGPARAM"
#define PROP_DIALOGTOOLTIPCTRL "PROP_DIALOGTOOLTIPCTRL"

// Paths typed into the boxes are limited to this many bytes.
constexpr int SETTINGS_TYPING_LIMIT = 260;

INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
