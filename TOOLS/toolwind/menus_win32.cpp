// System-menu items, the always-on-top check mark and pop-up menus.
#include "TOOLS/toolwind/window_helpers.h"

int FindSysMenuClosePos(HMENU menu) {
    const int count = GetMenuItemCount(menu);  // -1 when the menu is not one
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(menu, position) == SC_CLOSE) return position;
    }
    return -1;
}

BOOL InsertMenuSeparator(HMENU menu, UINT position) {
    return InsertMenuA(menu, position, MF_BYPOSITION | MF_SEPARATOR, 0, "");
}

DWORD CheckTopmostMenuItem(BOOL checked, HMENU menu) {
    return CheckMenuItem(menu, IDM_TOPMOST, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The window must be in the foreground, or the menu does not close when the
// user clicks elsewhere. The chosen command arrives as WM_COMMAND.
BOOL TrackPopupMenuAt(HWND hWnd, HMENU menu, POINT point) {
    SetForegroundWindow(hWnd);
    return TrackPopupMenuEx(menu, TPM_RIGHTBUTTON | TPM_VERTICAL, point.x, point.y, hWnd, nullptr);
}

BOOL TrackPopupMenuAtCursor(HWND hWnd, HMENU menu) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return FALSE;
    return TrackPopupMenuAt(hWnd, menu, cursor);
}
