// Non-fatal window-handle checks: a failure writes one trace line (source,
// line, expression) and makes the check return false; nothing aborts.
#include "TOOLS/toolwind/window_helpers.h"

namespace {

// The source path and line numbers the trace lines have always carried;
// tools that read the debugger output match on them.
const char TOOLWIND_SOURCE[] = "..\\..\\TOOLS\\toolwind";
enum {
    LINE_NULL_WINDOW = 1499,
    LINE_NOT_A_WINDOW = 1500,
    LINE_BAD_DIALOG = 1246,
    LINE_BAD_CONTROL = 1249,
};

BOOL check_failed(int line, const char* expression) {
    GetTraceProc()("%s(%d) : %s \r\n", TOOLWIND_SOURCE, line, expression);
    return FALSE;
}

}  // namespace

BOOL IsValidWindow(HWND hWnd) {
    if (!hWnd) return check_failed(LINE_NULL_WINDOW, "hWnd");
    if (!IsWindow(hWnd)) return check_failed(LINE_NOT_A_WINDOW, "IsWindow( hWnd )");
    return TRUE;
}

BOOL IsValidDlgItem(HWND hwndDlg, int id) {
    if (!IsValidWindow(hwndDlg)) return check_failed(LINE_BAD_DIALOG, "IsValidWindow( hwndDlg )");
    HWND hwndCtrl = GetDlgItem(hwndDlg, id);
    if (!IsValidWindow(hwndCtrl)) return check_failed(LINE_BAD_CONTROL, "IsValidWindow( hwndCtrl )");
    return TRUE;
}
