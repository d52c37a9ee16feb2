// Placing a window at the cursor or over its owner, and one step of a
// deferred layout.
#include "TOOLS/toolwind/window_helpers.h"

namespace {

// A child window is placed in its parent's client coordinates; a top-level
// or owned window in screen coordinates (GetParent also answers the owner).
void to_parent_client(HWND hWnd, POINT* point) {
    HWND parent = GetParent(hWnd);
    if (parent && IsChild(parent, hWnd)) ScreenToClient(parent, point);
}

// Moves the window so that its centre is at `centre`, kept inside the work area.
BOOL center_window_at(HWND hWnd, POINT centre) {
    const int width = GetWindowWidth(hWnd);
    const int height = GetWindowHeight(hWnd);
    POINT point = {centre.x - width / 2, centre.y - height / 2};

    RECT area;
    if (!GetWorkArea(&area)) return FALSE;
    // Right and bottom first, so that a window larger than the work area
    // keeps its left and top edges on screen.
    if (point.x + width > area.right) point.x = area.right - width;
    if (point.x < area.left) point.x = area.left;
    if (point.y + height > area.bottom) point.y = area.bottom - height;
    if (point.y < area.top) point.y = area.top;

    to_parent_client(hWnd, &point);
    return MoveWindowTo(hWnd, point.x, point.y);
}

}  // namespace

BOOL CenterWindowOnCursor(HWND hWnd) {
    POINT point;
    if (!GetCursorPos(&point)) return FALSE;
    return center_window_at(hWnd, point);
}

BOOL CenterWindowOver(HWND hWnd, HWND hwndOwner) {
    RECT owner;
    if (!hwndOwner || !GetWindowRect(hwndOwner, &owner)) return CenterWindowOnCursor(hWnd);
    const POINT centre = {(owner.left + owner.right) / 2, (owner.top + owner.bottom) / 2};
    return center_window_at(hWnd, centre);
}

void DeferOffsetWindow(HDWP* batch, HWND hWnd, int dx, int dw) {
    POINT origin;
    SIZE size;
    // A window without a rectangle is left out rather than placed at
    // made-up coordinates.
    if (!GetWindowOrigin(hWnd, &origin) || !GetWindowSize(hWnd, &size)) return;
    to_parent_client(hWnd, &origin);
    *batch = DeferWindowPos(*batch, hWnd, nullptr, origin.x + dx, origin.y, size.cx + dw, size.cy,
                            SWP_NOZORDER | SWP_NOACTIVATE);
}

void DeferOffsetDlgItem(HDWP* batch, HWND hwndDlg, int id, int dx, int dw) {
    DeferOffsetWindow(batch, GetDlgItem(hwndDlg, id), dx, dw);
}
