// The hidden progress window of the Windows program. A modal dialog built
// from an in-memory template keeps the user-interface thread's message loop
// running while the worker lists; a timer closes it once the worker thread
// has ended, a second one puts the count of found items into the icon's tip
// once a second, and the notification-area icon's menu can ask for a cancel.
#include <stdlib.h>

#include "TOOLS/toolwind/window_helpers.h"
#include "ui/progress/progress_template.h"
#include "ui/progress/progress_text.h"
#include "ui/progress/progress_window.h"
#include "ui/progress/tray_icon_win32.h"

namespace {

const char PROP_THREAD[] = "PROP_THREAD";
const char PROP_TRAYICON[] = "PROP_TRAYICON";
const char PROP_FOLDER[] = "PROP_FOLDER";  // the folder the tip names, alive as long as the window
const char MENU_CANCEL_TEXT[] = "キャンセル";

worker_t* progress_get_worker(HWND window) {
    return static_cast<worker_t*>(GetPropA(window, PROP_THREAD));
}

// The menu opens at the cursor, where the icon was clicked; the chosen item
// comes back as WM_COMMAND.
BOOL progress_show_menu(HWND window) {
    HMENU menu = CreatePopupMenu();
    if (menu) {
        AppendMenuA(menu, MF_STRING, CMD_CANCEL, MENU_CANCEL_TEXT);
        TrackPopupMenuAtCursor(window, menu);
        // A menu of a notification-area icon closes properly on a click
        // elsewhere only when its window gets a message after the menu ends.
        PostMessageA(window, WM_NULL, 0, 0);
        DestroyMenu(menu);
    }
    return FALSE;
}

// Only asks; the window stays until the worker thread has ended.
BOOL progress_cancel(HWND window) {
    worker_cancel(progress_get_worker(window));
    return FALSE;
}

NOTIFYICONDATAA* progress_get_record(HWND window) {
    return static_cast<NOTIFYICONDATAA*>(GetPropA(window, PROP_TRAYICON));
}

// The tip with the worker's count as it is now.
void progress_tip_now(HWND window, char* tip) {
    const char* folder = static_cast<const char*>(GetPropA(window, PROP_FOLDER));
    format_progress_text(tip, PROGRESS_TEXT_SIZE, folder ? folder : "",
                         worker_found(progress_get_worker(window)));
}

// Only a changed count goes to the shell.
void progress_refresh_tip(HWND window) {
    NOTIFYICONDATAA* record = progress_get_record(window);
    if (!record) return;
    char tip[PROGRESS_TEXT_SIZE];
    progress_tip_now(window, tip);
    tray_icon_set_tip(record, tip);
}

BOOL progress_on_init(HWND window, const progress_param_t* param) {
    SetPropA(window, PROP_THREAD, param->worker);
    SetPropA(window, PROP_FOLDER, const_cast<char*>(param->folder));
    char tip[PROGRESS_TEXT_SIZE];
    progress_tip_now(window, tip);
    NOTIFYICONDATAA* record = tray_icon_open(window, param->icon, tip);
    if (!record) {
        EndDialog(window, PROGRESS_END_SETUP_FAILED);
        return TRUE;
    }
    SetPropA(window, PROP_TRAYICON, record);
    // 0 ms: as often as the platform's timer allows.
    if (SetTimer(window, TIMER_WATCH_WORKER, 0, progress_timer_proc) != TIMER_WATCH_WORKER) {
        EndDialog(window, PROGRESS_END_SETUP_FAILED);
        return TRUE;
    }
    // Without this timer the tip keeps its first count; the run goes on.
    SetTimer(window, TIMER_REFRESH_TIP, TIP_REFRESH_MS, progress_timer_proc);
    HideWindow(window);
    return TRUE;
}

// The modal loop shows a dialog without WS_VISIBLE once its queue is empty;
// turning every show into a hide keeps this one out of sight for good.
BOOL progress_keep_hidden(WINDOWPOS* pos) {
    pos->flags = (pos->flags & ~SWP_SHOWWINDOW) | SWP_HIDEWINDOW;
    return FALSE;
}

// Opens the menu only after the shell's notification has been answered.
BOOL progress_on_tray_notify(HWND window, WPARAM icon_id, LPARAM mouse_message) {
    if (icon_id == TRAY_ICON_UID && (mouse_message == WM_LBUTTONUP || mouse_message == WM_RBUTTONUP))
        PostMessageA(window, WM_COMMAND, CMD_SHOW_TRAY_MENU, 0);
    return FALSE;
}

// The hidden button (1) and Esc (2) are ignored: only the worker's end closes
// the window.
BOOL progress_on_command(HWND window, WORD id) {
    if (id == CMD_SHOW_TRAY_MENU) return progress_show_menu(window);
    if (id == CMD_CANCEL) return progress_cancel(window);
    return FALSE;
}

// Explorer broadcasts this message when it has started again, with an empty
// notification area: without the icon again the run could not be cancelled.
UINT taskbar_created_message() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

BOOL progress_on_taskbar_created(HWND window) {
    NOTIFYICONDATAA* record = progress_get_record(window);
    if (record) tray_icon_add(record);
    return FALSE;
}

BOOL progress_on_destroy(HWND window) {
    NOTIFYICONDATAA* record = static_cast<NOTIFYICONDATAA*>(RemovePropA(window, PROP_TRAYICON));
    if (record) {
        tray_icon_delete(record);
        free(record);
    }
    KillTimer(window, TIMER_WATCH_WORKER);
    KillTimer(window, TIMER_REFRESH_TIP);
    RemovePropA(window, PROP_FOLDER);
    RemovePropA(window, PROP_THREAD);
    return TRUE;
}

}  // namespace

VOID CALLBACK progress_timer_proc(HWND window, UINT, UINT_PTR timer_id, DWORD) {
    if (timer_id == TIMER_REFRESH_TIP) {
        progress_refresh_tip(window);
        return;
    }
    if (worker_is_finished(progress_get_worker(window))) {
        KillTimer(window, timer_id);
        EndDialog(window, PROGRESS_END_WORKER_DONE);
    }
}

INT_PTR CALLBACK progress_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != 0 && message == taskbar_created_message()) return progress_on_taskbar_created(window);
    switch (message) {
        case WM_INITDIALOG:
            return progress_on_init(window, reinterpret_cast<const progress_param_t*>(lparam));
        case WM_WINDOWPOSCHANGING:
            return progress_keep_hidden(reinterpret_cast<WINDOWPOS*>(lparam));
        case WM_TRAY_NOTIFY:
            return progress_on_tray_notify(window, wparam, lparam);
        case WM_COMMAND:
            return progress_on_command(window, LOWORD(wparam));
        case WM_DESTROY:
            return progress_on_destroy(window);
    }
    return FALSE;
}

bool progress_run(HINSTANCE instance, worker_t* worker, HICON icon, const char* folder) {
    void* dialog_template = progress_template_build();
    if (!dialog_template) return false;
    progress_param_t param = {worker, icon, folder};
    const INT_PTR end =
        DialogBoxIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(dialog_template), nullptr,
                                progress_dialog_proc, reinterpret_cast<LPARAM>(&param));
    free(dialog_template);
    return end == PROGRESS_END_WORKER_DONE;
}
