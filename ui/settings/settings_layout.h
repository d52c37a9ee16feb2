// Size and placement rules of the settings dialog: it may be widened but not
// made narrower than it opened nor changed in height; widening stretches the
// text boxes and moves the right-hand buttons along. Windows build only.
#pragma once

#include <windows.h>

// Forgets the recorded sizes; until the next record nothing is clamped or moved.
void settings_layout_reset();
// Records the dialog's outer size (the smallest size allowed, and the only
// height) and its client width (the width the controls are laid out for).
void settings_layout_record(HWND dialog);

// WM_GETMINMAXINFO: applies the limits once sizes are recorded.
void settings_layout_limit(MINMAXINFO* info);
// WM_SIZE: moves and stretches the controls by the change of client width.
void settings_layout_on_size(HWND dialog, WPARAM size_type, int client_width);
// WM_NCHITTEST: the answer to give for the default window procedure's answer.
LRESULT settings_map_hit_test(LRESULT hit);
