// The 詳細設定 dialog: what is walked and listed beyond the folder and the
// filter, and how the lines are written (list_options_t). It opens from the
// settings dialog's "詳細設定..." button, modally over it, from a template
// built in memory. Windows build only.
#pragma once

#include <windows.h>

#include "TOOLS/toolwind/dialog_template.h"
#include "app/settings.h"

struct advanced_param_t {
    list_options_t list;  // shown when it opens; on OK, what it holds then
    bool utf8;            // "UTF-8 で出力" is checked: only then may a BOM be asked for
    bool subfolders;      // subfolders are walked: only then does the depth count
};

// Runs the dialog modally over owner; true only for OK, and only then is
// param->list written.
bool show_advanced_dialog(HWND owner, advanced_param_t* param);

// The dialog procedure, for tests that drive the dialog themselves.
INT_PTR CALLBACK advanced_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The template's description: the dialog and its controls in tab order.
// items has room for ADVANCED_ITEM_COUNT controls.
enum { ADVANCED_ITEM_COUNT = 29 };
void advanced_template_describe(dlg_template_desc_t* dialog, dlg_item_desc_t* items);
