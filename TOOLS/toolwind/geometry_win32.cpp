// Window rectangles, the work area and plain moves.
#include "TOOLS/toolwind/window_helpers.h"

BOOL GetWindowOrigin(HWND hWnd, POINT* origin) {
    RECT rect;
    if (!GetWindowRect(hWnd, &rect)) return FALSE;
    origin->x = rect.left;
    origin->y = rect.top;
    return TRUE;
}

BOOL GetWindowSize(HWND hWnd, SIZE* size) {
    RECT rect;
    if (!GetWindowRect(hWnd, &rect)) return FALSE;
    size->cx = RectWidth(&rect);
    size->cy = RectHeight(&rect);
    return TRUE;
}

// 0 when the window has no rectangle.
int GetWindowWidth(HWND hWnd) {
    SIZE size = {0, 0};
    GetWindowSize(hWnd, &size);
    return size.cx;
}

int GetWindowHeight(HWND hWnd) {
    SIZE size = {0, 0};
    GetWindowSize(hWnd, &size);
    return size.cy;
}

int RectWidth(const RECT* rect) {
    return rect->right - rect->left;
}

int RectHeight(const RECT* rect) {
    return rect->bottom - rect->top;
}

// The primary display without the task bar.
BOOL GetWorkArea(RECT* rect) {
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0);
}

BOOL MoveWindowTo(HWND hWnd, int x, int y) {
    return SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
