#include "TOOLS/toolwind/window_helpers.h"
#include "ui/settings/settings_ids.h"
#include "ui/settings/settings_layout.h"

namespace {

// The dialog is never open twice at once, so one set of sizes serves it. Zero
// means "not recorded yet": WM_GETMINMAXINFO and WM_SIZE arrive while the
// dialog is being created, before its initialisation records anything.
struct recorded_sizes_t {
    SIZE window;
    int client_width;
};
recorded_sizes_t recorded;

struct layout_row_t {
    int id;
    bool moves;      // follows the right edge
    bool stretches;  // widens with the dialog
};

const layout_row_t LAYOUT_TABLE[] = {
    {IDC_FOLDER, false, true},      {IDC_OUTPUT_FILE, false, true},
    {IDC_FILTER_TEXT, false, true}, {IDC_BROWSE_FOLDER, true, false},
    {IDC_AUTO_FOLDER, true, false}, {IDC_BROWSE_OUTPUT, true, false},
    {IDC_AUTO_OUTPUT, true, false}, {IDOK, true, false},
    {IDCANCEL, true, false},
};
constexpr int LAYOUT_ROWS = sizeof LAYOUT_TABLE / sizeof LAYOUT_TABLE[0];

}  // namespace

void settings_layout_reset() {
    recorded = recorded_sizes_t{};
}

void settings_layout_record(HWND dialog) {
    GetWindowSize(dialog, &recorded.window);
    RECT client;
    recorded.client_width = GetClientRect(dialog, &client) ? RectWidth(&client) : 0;
}

void settings_layout_limit(MINMAXINFO* info) {
    if (recorded.window.cx <= 0 || recorded.window.cy <= 0) return;
    info->ptMinTrackSize.x = recorded.window.cx;
    info->ptMinTrackSize.y = recorded.window.cy;
    info->ptMaxTrackSize.y = recorded.window.cy;
}

void settings_layout_on_size(HWND dialog, WPARAM size_type, int client_width) {
    // Minimised: the client width is 0 now; keeping the recorded width means
    // that restoring moves nothing.
    if (size_type == SIZE_MINIMIZED) return;
    if (recorded.client_width <= 0) return;
    const int dx = client_width - recorded.client_width;
    HDWP batch = BeginDeferWindowPos(LAYOUT_ROWS);
    if (!batch) return;
    for (const layout_row_t& row : LAYOUT_TABLE) {
        if (!IsValidDlgItem(dialog, row.id)) continue;
        DeferOffsetDlgItem(&batch, dialog, row.id, row.moves ? dx : 0, row.stretches ? dx : 0);
    }
    // A failed step drops the whole batch: nothing moved, so the layout still
    // belongs to the recorded width.
    if (!batch || !EndDeferWindowPos(batch)) return;
    recorded.client_width = client_width;
    // Wine leaves a moved button blank until the mouse passes over it: every
    // control that changed is painted again.
    if (dx == 0) return;
    for (const layout_row_t& row : LAYOUT_TABLE) {
        HWND control = GetDlgItem(dialog, row.id);
        if (control) RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
}

LRESULT settings_map_hit_test(LRESULT hit) {
    switch (hit) {
        case HTCLIENT:  // the background drags the dialog
            return HTCAPTION;
        case HTTOP:  // the height never changes
        case HTBOTTOM:
            return HTBORDER;
        case HTTOPLEFT:
        case HTBOTTOMLEFT:
            return HTLEFT;
        case HTTOPRIGHT:
        case HTBOTTOMRIGHT:
            return HTRIGHT;
        default:
            return hit;
    }
}
