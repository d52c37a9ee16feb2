// What the settings dialog keeps while it is open besides its controls.
// Windows build only.
#pragma once

#include <windows.h>

#include <string>

#include "app/settings.h"

struct settings_state_t {
    // The 詳細設定 dialog's settings: from the record when the dialog opens,
    // into it on OK.
    list_options_t list;
    // The list file the save chooser confirmed: its replacement was agreed
    // to there, so OK does not ask again while the box holds it.
    std::wstring confirmed_output;
};

// The state of an open settings dialog (null before its initialisation).
settings_state_t* settings_state(HWND dialog);
