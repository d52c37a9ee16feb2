// Drives the settings dialog of a running Scrivlet.exe from another process,
// through its controls, as a user would:
//
//   drive_settings_dialog.exe SECONDS STEP...  > report.txt
//
// Steps, done in order, on the settings dialog or the window the last
// "window:" step chose:
//   window:TITLE  waits for the visible dialog of that title (the 詳細設定
//                 dialog, the version window, the usage window) and works on
//                 it from here on; "window:main" goes back to the settings
//                 dialog
//   set:ID=TEXT   sets the text of a box (as typing or pasting would)
//   kind:CODE     chooses the filter kind whose item data is CODE
//   click:ID      clicks a button and waits until the dialog has handled it
//   post:ID       clicks a button without waiting: for one that opens a
//                 window or a message box, which runs modally in the program
//   syscommand:ID chooses a command of the window's system menu, not waiting
//   answer:ID     waits for a message box over the window, reports
//                 "box=<its text>" and "box-buttons=<ids>", and presses the
//                 button ID (6 はい, 7 いいえ, 1 OK), waiting until it has gone
//   text:ID       reports "text:ID=<text>"
//   enabled:ID    reports "enabled:ID=<0|1>"
//   checked:ID    reports "checked:ID=<0|1>"
//   rect:ID       reports "rect:ID=<left> <top> <right> <bottom>" on the screen
//   rect:dialog   the same for the window worked on
//   wait-tip      waits until the filter box's tooltip shows, then reports
//                 "rect:tip=..." with its screen rectangle
//   wset:ID=HEX   sets the wide text of a box, given as the hex digits of its
//                 UTF-8 bytes (the arguments themselves are code page text)
//   wtext:ID      reports "wtext:ID=<hex digits of the box's text in UTF-8>"
//   kind          reports "kind=<item data of the selected filter kind>"
//   save:HEX      clicks "参照..." of the list file, types the UTF-8 text
//                 given in hex as the file name into the save chooser and
//                 confirms it, waiting until the chooser has gone
// The report is code page 932 text, one "key=value" line each. Exit status:
// 0 every step done, 1 no dialog within SECONDS, 2 bad arguments, 3 a step
// failed (its line says why).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include <string>

namespace {

constexpr DWORD POLL_MS = 20;
constexpr char TOOLTIP_PROPERTY[] = "PROP_DIALOGTOOLTIPCTRL";
constexpr int FILTER_KIND_LIST = 1056;
constexpr int BROWSE_OUTPUT_BUTTON = 1041;
constexpr int FOLDER_BOX = 1040;
constexpr int MESSAGE_TEXT_ID = 0xFFFF;  // the static control of a message box's text

// The settings dialog (the dialog with the folder box) once it is shown with
// its controls; its message boxes have the same caption.
BOOL CALLBACK find_settings_dialog(HWND window, LPARAM found) {
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) || !GetDlgItem(window, FOLDER_BOX))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND wait_for_dialog(DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND dialog = nullptr;
        EnumWindows(find_settings_dialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog) return dialog;
        if (GetTickCount() - start >= timeout_ms) return nullptr;
        Sleep(POLL_MS);
    }
}

// A visible dialog of that title, once it has its controls.
HWND wait_for_window(const char* title, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA("#32770", title);
        if (window && IsWindowVisible(window) && GetWindow(window, GW_CHILD)) return window;
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

std::wstring wide_from_hex(const char* hex) {
    std::string utf8;
    for (; hex[0] && hex[1]; hex += 2) {
        const char pair[3] = {hex[0], hex[1], '\0'};
        utf8.push_back((char)strtol(pair, nullptr, 16));
    }
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide((size_t)(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], size);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

void print_hex_of(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8((size_t)(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
    for (const char* p = utf8.c_str(); *p; ++p) printf("%02x", (unsigned char)*p);
    printf("\n");
}

struct chooser_search_t {
    HWND owner;
    HWND found;
};

BOOL CALLBACK find_chooser(HWND window, LPARAM data) {
    chooser_search_t* search = reinterpret_cast<chooser_search_t*>(data);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && GetWindow(window, GW_OWNER) == search->owner &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The save chooser: opened by a posted click (it runs modally in the
// program), named, confirmed, and gone.
bool answer_save_chooser(HWND dialog, const std::wstring& name, DWORD timeout_ms) {
    PostMessageA(GetDlgItem(dialog, BROWSE_OUTPUT_BUTTON), BM_CLICK, 0, 0);
    const DWORD start = GetTickCount();
    chooser_search_t search = {dialog, nullptr};
    while (!search.found) {
        EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), find_chooser,
                          reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeout_ms) break;
        Sleep(POLL_MS);
    }
    if (!search.found) return false;
    // A combo box or an edit box, by version.
    HWND name_box = GetDlgItem(search.found, 0x47c);
    if (!name_box) name_box = GetDlgItem(search.found, 0x480);
    if (!name_box || !SetWindowTextW(name_box, name.c_str())) return false;
    PostMessageA(search.found, WM_COMMAND, IDOK, 0);
    while (IsWindow(search.found)) {
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(POLL_MS);
    }
    // Answered once the dialog's own loop runs again.
    SendMessageA(dialog, WM_NULL, 0, 0);
    return true;
}

struct box_search_t {
    HWND owner;
    HWND found;
};

BOOL CALLBACK find_owned_box(HWND window, LPARAM data) {
    box_search_t* search = reinterpret_cast<box_search_t*>(data);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && GetWindow(window, GW_OWNER) == search->owner &&
        IsWindowVisible(window) && GetDlgItem(window, MESSAGE_TEXT_ID)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK list_button(HWND child, LPARAM data) {
    std::string* ids = reinterpret_cast<std::string*>(data);
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0) {
        if (!ids->empty()) ids->push_back(',');
        *ids += std::to_string(GetDlgCtrlID(child));
    }
    return TRUE;
}

// The message box over the window: reported, then answered with a button.
bool answer_box(HWND window, int button, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    box_search_t search = {window, nullptr};
    while (!search.found) {
        EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), find_owned_box,
                          reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= timeout_ms) break;
        Sleep(POLL_MS);
    }
    if (!search.found) return false;
    char text[1024] = "";
    GetDlgItemTextA(search.found, MESSAGE_TEXT_ID, text, sizeof text);
    std::string buttons;
    EnumChildWindows(search.found, list_button, reinterpret_cast<LPARAM>(&buttons));
    printf("box=%s\nbox-buttons=%s\n", text, buttons.c_str());
    HWND pressed = GetDlgItem(search.found, button);
    if (!pressed) return false;
    PostMessageA(pressed, BM_CLICK, 0, 0);
    while (IsWindow(search.found)) {
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(POLL_MS);
    }
    return true;
}

// One step; false with a line on stdout when it cannot be done.
bool run_step(HWND main_dialog, HWND* target, const char* step, DWORD timeout_ms) {
    HWND dialog = *target;
    char name[16] = "";
    const char* colon = strchr(step, ':');
    if (!colon && strcmp(step, "wait-tip") != 0 && strcmp(step, "kind") != 0) {
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

    if (strcmp(name, "window") == 0) {
        HWND window = strcmp(arg, "main") == 0 ? main_dialog : wait_for_window(arg, timeout_ms);
        if (!window) {
            printf("error=no window %s\n", arg);
            return false;
        }
        *target = window;
    } else if (strcmp(name, "post") == 0) {
        HWND button = GetDlgItem(dialog, id);
        if (!button || !IsWindowEnabled(button)) {
            printf("error=button %d missing or disabled\n", id);
            return false;
        }
        PostMessageA(button, BM_CLICK, 0, 0);
    } else if (strcmp(name, "syscommand") == 0) {
        PostMessageA(dialog, WM_SYSCOMMAND, (WPARAM)id, 0);
    } else if (strcmp(name, "answer") == 0) {
        if (!answer_box(dialog, id, timeout_ms)) {
            printf("error=no message box with button %d\n", id);
            return false;
        }
    } else if (strcmp(step, "wait-tip") == 0) {
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
    } else if (strcmp(step, "kind") == 0) {
        HWND list = GetDlgItem(dialog, FILTER_KIND_LIST);
        printf("kind=%ld\n",
               (long)SendMessageA(list, CB_GETITEMDATA, SendMessageA(list, CB_GETCURSEL, 0, 0), 0));
    } else if (strcmp(name, "wset") == 0) {
        const char* text = strchr(arg, '=');
        if (!text || !SetDlgItemTextW(dialog, id, wide_from_hex(text + 1).c_str())) {
            printf("error=cannot set %s\n", arg);
            return false;
        }
    } else if (strcmp(name, "wtext") == 0) {
        std::wstring text(40000, L'\0');
        GetDlgItemTextW(dialog, id, &text[0], (int)text.size());
        printf("wtext:%d=", id);
        print_hex_of(text.c_str());
    } else if (strcmp(name, "save") == 0) {
        if (!answer_save_chooser(dialog, wide_from_hex(arg), timeout_ms)) {
            printf("error=the save chooser did not answer\n");
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
    // A run that starts with another window (the usage window) need not
    // have a settings dialog to wait for.
    const bool other_window_first = argc > 2 && strncmp(argv[2], "window:", 7) == 0;
    HWND dialog = wait_for_dialog(other_window_first ? 0 : timeout_ms);
    if (!dialog && !other_window_first) {
        printf("error=no settings dialog\n");
        return 1;
    }
    HWND target = dialog;
    for (int i = 2; i < argc; ++i) {
        if (!run_step(dialog, &target, argv[i], timeout_ms)) return 3;
        fflush(stdout);
    }
    return 0;
}
