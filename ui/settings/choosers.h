// The two path rows of the settings dialog: "参照..." opens a platform
// chooser, "自動" derives the row's box from the other row's box.
// Windows build only; the path rules of the automatic names are in
// ui/settings/auto_names.h.
#pragma once

#include <windows.h>

// Command handlers of the settings dialog; each returns TRUE (handled).
BOOL browse_folder(HWND dialog);       // button 1042: box 1040 from the folder chooser
BOOL browse_output_file(HWND dialog);  // button 1041: box 1039 from the save chooser
BOOL auto_output_name(HWND dialog);    // button 1050: box 1039 from box 1040
BOOL auto_folder_name(HWND dialog);    // button 1051: box 1040 from box 1039
