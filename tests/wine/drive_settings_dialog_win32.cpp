// Drives the settings dialog of a running Scrivlet.exe from another process,
// through its controls, as a user would:
//
//   drive_settings_dialog.exe SECONDS STEP...  > report.txt
//
// Steps, done in order:
//   set:ID=TEXT   sets the text of a box (as typing or pasting would)
//   kind:CODE     chooses the filter kind whose item data is CODE
//   click:ID      clicks a button and waits until the dialog has handled it
//   text:ID       reports "text:ID=<text>"
//   enabled:ID    reports "enabled:ID=<0|1>"
//   checked:ID    reports "checked:ID=<0|1>"
//   rect:ID       reports "rect:ID=<left> <top> <right> <bottom>" on the screen
//   rect:dialog   the same for the dialog window
//   wait-tip      waits until the filter box's tooltip shows, then reports
//                 "rect:tip=..." with its screen rectangle
// The report is code page 932 text, one "key=value" line each. Exit status:
// 0 every step done, 1 no dialog within SECONDS, 2 bad arguments, 3 a step
// failed (its line says why).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

constexpr DWORD POLL_MS = 20;
constexpr char TOOLTIP_PROPERTY[] = "PROP_DIALOGTOOLTIPCTRL";
constexpr int FILTER_KIND_LIST = 1056;

// The dialog once it is shown with its controls.
HWND wait_for_dialog(DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND dialog = FindWindowA("#32770", "Scrivlet");
        if (dialog && IsWindowVisible(dialog) && GetWindow(dialog, GW_CHILD)) return dialog;
        if (GetTickCount() - start >= timeout_ms) return nullptr;
        Sleep(POLL_MS);
    }
}

void report_rect(const char* key, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    printf("rect:%s=%ld %ld %ld %ld\n", key, r.left, r.top, r.right, r.bottom);
}

bool choose_filter_kind(HWND dialog, LRESULT code) {
    HWND list = GetDlgItem(dialog, FILTER_KIND_LIST);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(list, CB_GETITEMDATA, i, 0) != code) continue;
        SendMessageA(list, CB_SETCURSEL, i, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FILTER_KIND_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    return false;
}

HWND wait_for_tip(HWND dialog, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND tip = static_cast<HWND>(GetPropA(dialog, TOOLTIP_PROPERTY));
        if (tip && IsWindowVisible(tip)) return tip;
        if (GetTickCount() - start >= timeout_ms) return nullptr;
        Sleep(POLL_MS);
    }
}

// One step; false with a line on stdout when it cannot be done.
bool run_step(HWND dialog, const char* step, DWORD timeout_ms) {
    char name[16] = "";
    const char* colon = strchr(step, ':');
    if (!colon && strcmp(step, "wait-tip") != 0) {
        printf("error=bad step %s\n", step);
        return false;
    }
    if (colon) {
        const size_t length = static_cast<size_t>(colon - step);
        if (length >= sizeof name) {
            printf("error=bad step %s\n", step);
            return false;
        }
        memcpy(name, step, length);
        name[length] = '\0';
    }
    const char* arg = colon ? colon + 1 : "";
    const int id = atoi(arg);

    if (strcmp(step, "wait-tip") == 0) {
        HWND tip = wait_for_tip(dialog, timeout_ms);
        if (!tip) {
            printf("error=the filter tip did not show\n");
            return false;
        }
        report_rect("tip", tip);
    } else if (strcmp(name, "set") == 0) {
        const char* text = strchr(arg, '=');
        if (!text || !SetDlgItemTextA(dialog, id, text + 1)) {
            printf("error=cannot set %s\n", arg);
            return false;
        }
    } else if (strcmp(name, "kind") == 0) {
        if (!choose_filter_kind(dialog, atoi(arg))) {
            printf("error=no filter kind %s\n", arg);
            return false;
        }
    } else if (strcmp(name, "click") == 0) {
        HWND button = GetDlgItem(dialog, id);
        if (!button || !IsWindowEnabled(button)) {
            printf("error=button %d missing or disabled\n", id);
            return false;
        }
        SendMessageA(button, BM_CLICK, 0, 0);
    } else if (strcmp(name, "text") == 0) {
        char text[1024] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        printf("text:%d=%s\n", id, text);
    } else if (strcmp(name, "enabled") == 0) {
        printf("enabled:%d=%d\n", id, IsWindowEnabled(GetDlgItem(dialog, id)) ? 1 : 0);
    } else if (strcmp(name, "checked") == 0) {
        printf("checked:%d=%d\n", id, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0);
    } else if (strcmp(name, "rect") == 0) {
        if (strcmp(arg, "dialog") == 0) {
            report_rect("dialog", dialog);
        } else {
            report_rect(arg, GetDlgItem(dialog, id));
        }
    } else {
        printf("error=bad step %s\n", step);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: drive_settings_dialog SECONDS STEP...\n");
        return 2;
    }
    const DWORD timeout_ms = static_cast<DWORD>(atoi(argv[1])) * 1000;
    HWND dialog = wait_for_dialog(timeout_ms);
    if (!dialog) {
        printf("error=no settings dialog\n");
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        if (!run_step(dialog, argv[i], timeout_ms)) return 3;
    }
    return 0;
}
