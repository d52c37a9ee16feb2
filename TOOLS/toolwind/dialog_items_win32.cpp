// Dialog controls by id, and the data of a combo box's selected item.
#include "TOOLS/toolwind/window_helpers.h"

BOOL EnableDlgItem(HWND hwndDlg, int id, BOOL enable) {
    return EnableWindow(GetDlgItem(hwndDlg, id), enable);
}

// In bytes: a double-byte character counts twice.
int GetDlgItemTextLength(HWND hwndDlg, int id) {
    return GetWindowTextLengthA(GetDlgItem(hwndDlg, id));
}

LRESULT GetComboSelData(HWND hwndCombo) {
    const LRESULT selected = SendMessageA(hwndCombo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return CB_ERR;
    return SendMessageA(hwndCombo, CB_GETITEMDATA, (WPARAM)selected, 0);
}
