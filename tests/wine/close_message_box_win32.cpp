// Waits for a message box (or another window with an OK button, such as the
// usage window) of another program, reports what it shows and presses its OK
// button, as a user would; so that no test waits forever on a box that
// nobody closes.
//
//   close_message_box.exe CAPTION SECONDS  > report.txt
//
// The report (code page 932 text, one "key=value" line each):
//   caption=<window caption>
//   text=<the message; for a window with a text box, the box's first line>
//   lines=<the lines the text box shows, for a window with one>
//   buttons=<control ids of the buttons, comma-separated; 1 is OK>
//   icon=<1 when the box shows an icon, else 0>
//   closed=<1 when the box went away after the click>
// Exit status: 0 the box was found and closed, 1 no box within SECONDS,
// 2 bad arguments, 3 the box did not go away.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

namespace {

constexpr DWORD POLL_MS = 20;
constexpr DWORD CLOSE_WAIT_MS = 5000;
constexpr int MESSAGE_TEXT_ID = 0xFFFF;  // the static control that holds the text

struct box_report_t {
    char text[1024];
    char buttons[256];
    HWND ok_button;
    bool icon;
    LRESULT lines;  // of a text box; 0 without one
};

BOOL CALLBACK inspect_child(HWND child, LPARAM param) {
    box_report_t* report = reinterpret_cast<box_report_t*>(param);
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof cls);
    const int id = GetDlgCtrlID(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0) {
        char item[16];
        wsprintfA(item, report->buttons[0] ? ",%d" : "%d", id);
        lstrcatA(report->buttons, item);
        if (id == IDOK) report->ok_button = child;
    } else if (lstrcmpiA(cls, "Edit") == 0) {
        // The first line alone: a whole usage is longer than the report's line.
        *reinterpret_cast<WORD*>(report->text) = (WORD)(sizeof report->text - 1);
        const LRESULT length = SendMessageA(child, EM_GETLINE, 0, (LPARAM)report->text);
        report->text[length > 0 ? length : 0] = '\0';
        report->lines = SendMessageA(child, EM_GETLINECOUNT, 0, 0);
    } else if (lstrcmpiA(cls, "Static") == 0 && report->lines == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            if ((style & WS_VISIBLE) && SendMessageA(child, STM_GETICON, 0, 0)) report->icon = true;
        } else if (id == MESSAGE_TEXT_ID || report->text[0] == '\0') {
            GetWindowTextA(child, report->text, sizeof report->text);
        }
    }
    return TRUE;
}

// A visible box with the caption, once it has its controls.
HWND wait_for_box(const char* caption, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND box = FindWindowA("#32770", caption);
        if (box && IsWindowVisible(box) && GetWindow(box, GW_CHILD)) return box;
        if (GetTickCount() - start >= timeout_ms) return nullptr;
        Sleep(POLL_MS);
    }
}

bool wait_until_gone(HWND box) {
    const DWORD start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start >= CLOSE_WAIT_MS) return false;
        Sleep(POLL_MS);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: close_message_box CAPTION SECONDS\n");
        return 2;
    }
    const char* caption = argv[1];
    const DWORD timeout_ms = (DWORD)(atof(argv[2]) * 1000);

    HWND box = wait_for_box(caption, timeout_ms);
    if (!box) {
        printf("closed=0\n");
        return 1;
    }
    // Let the box finish laying itself out before reading it.
    Sleep(100);
    box_report_t report = {};
    EnumChildWindows(box, inspect_child, reinterpret_cast<LPARAM>(&report));
    char title[256] = "";
    GetWindowTextA(box, title, sizeof title);

    // A click on OK; a box without one gets what Esc would send.
    if (report.ok_button)
        SendMessageA(report.ok_button, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    const bool closed = wait_until_gone(box);

    printf("caption=%s\ntext=%s\nbuttons=%s\nicon=%d\nclosed=%d\n", title, report.text, report.buttons,
           report.icon ? 1 : 0, closed ? 1 : 0);
    if (report.lines) printf("lines=%d\n", (int)report.lines);
    fflush(stdout);
    return closed ? 0 : 3;
}
