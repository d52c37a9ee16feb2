// The settings dialog's procedure and window properties, for the dialog
// itself and for tests that drive it. Windows build only.
#pragma once

#include <windows.h>

// The dialog_param_t the dialog edits, and its tooltip window.
#define PROP_DIALOGPARAM "PROP_DIALOGPARAM"
#define PROP_DIALOGTOOLTIPCTRL "PROP_DIALOGTOOLTIPCTRL"

// The filter typed into its box is limited to this many bytes.
constexpr int SETTINGS_TYPING_LIMIT = 260;
// Paths typed into their boxes are limited to the longest the program holds
// (app/user_path.h), in UTF-16 units.
constexpr int SETTINGS_PATH_TYPING_LIMIT = 32767;

INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
