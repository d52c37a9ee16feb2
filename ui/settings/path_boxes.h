// The settings dialog's two path boxes in wide text: what they hold reaches
// the listing with every character, however long. Windows build only.
#pragma once

#include <windows.h>

#include <string>

// The whole text of a box (empty when it cannot be read).
std::wstring path_box_text(HWND dialog, int id);
void set_path_box(HWND dialog, int id, const wchar_t* text);
