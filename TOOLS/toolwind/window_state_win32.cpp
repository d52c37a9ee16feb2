// Always-on-top and visibility.
#include "TOOLS/toolwind/window_helpers.h"

namespace {

// Only the Z order changes: no move, size, repaint, activation or
// WM_WINDOWPOSCHANGING.
const UINT Z_ORDER_ONLY =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING;
static_assert(Z_ORDER_ONLY == 0x51B, "Z-order-only flags");

}  // namespace

BOOL IsTopmost(HWND hWnd) {
    return (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

BOOL SetTopmost(HWND hWnd) {
    return SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, Z_ORDER_ONLY);
}

BOOL SetNotTopmost(HWND hWnd) {
    return SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, Z_ORDER_ONLY);
}

BOOL SetTopmostState(HWND hWnd, BOOL topmost) {
    return topmost ? SetTopmost(hWnd) : SetNotTopmost(hWnd);
}

// The result is whether the window was visible before.
BOOL HideWindow(HWND hWnd) {
    return ShowWindow(hWnd, SW_HIDE);
}
