#include "ui/progress/tray_icon_win32.h"

#include <stdlib.h>

#include "text/mbs.h"
#include "ui/progress/progress_window.h"

namespace {

// The tip field of the second version of the record, which every shell
// since Windows 2000 reads; a record of the first version would stop the
// shell at 64 bytes.
constexpr size_t TIP_SIZE = 128;
static_assert(sizeof(NOTIFYICONDATAA::szTip) == TIP_SIZE, "the tip field of the second version");

}  // namespace

const tray_calls_t tray_calls_default = {Shell_NotifyIconA, Sleep};
tray_calls_t tray_calls = tray_calls_default;

NOTIFYICONDATAA* tray_icon_create(HWND window, HICON icon, const char* tip) {
    // The whole structure is allocated and cleared, but cbSize names the
    // second version, which ends before the item's GUID: the icon needs
    // nothing newer, and the shell then reads the whole 128-byte tip.
    NOTIFYICONDATAA* record = static_cast<NOTIFYICONDATAA*>(malloc(sizeof(NOTIFYICONDATAA)));
    if (!record) return nullptr;
    mem_zero(record, sizeof *record);
    record->cbSize = NOTIFYICONDATAA_V2_SIZE;
    record->hWnd = window;
    record->uID = TRAY_ICON_UID;
    record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record->uCallbackMessage = WM_TRAY_NOTIFY;
    record->hIcon = icon;
    str_copy_bounded(record->szTip, tip, TIP_SIZE);
    return record;
}

// Right after log-on the shell may not be up yet, and adding fails until it is.
bool tray_icon_add(NOTIFYICONDATAA* record) {
    for (int attempt = 1;; ++attempt) {
        if (tray_calls.Shell_NotifyIconA(NIM_ADD, record)) return true;
        if (attempt == TRAY_ADD_ATTEMPTS) return false;
        tray_calls.Sleep(TRAY_ADD_PAUSE_MS);
    }
}

NOTIFYICONDATAA* tray_icon_open(HWND window, HICON icon, const char* tip) {
    NOTIFYICONDATAA* record = tray_icon_create(window, icon, tip);
    if (record) tray_icon_add(record);
    return record;
}

bool tray_icon_set_tip(NOTIFYICONDATAA* record, const char* tip) {
    char cut[TIP_SIZE];
    str_copy_bounded(cut, tip, sizeof cut);
    if (lstrcmpA(cut, record->szTip) == 0) return true;
    str_copy_bounded(record->szTip, cut, TIP_SIZE);
    return tray_calls.Shell_NotifyIconA(NIM_MODIFY, record) != FALSE;
}

bool tray_icon_delete(NOTIFYICONDATAA* record) {
    return tray_calls.Shell_NotifyIconA(NIM_DELETE, record) != FALSE;
}
