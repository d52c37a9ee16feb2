// Plays the shell and the user for the notification-area icon of a running
// Scrivlet.exe: finds its hidden progress window, sends the notification a
// click on the icon would send, and works the menu with keys.
//
//   tray_click.exe open-menu SECONDS   right-button release on the icon; waits for the menu
//   tray_click.exe choose SECONDS      first item of the open menu: Down, Enter
//   tray_click.exe dismiss SECONDS     closes the open menu with Esc
//   tray_click.exe windows             every top-level window, one line each
//
// Reports are "key=value" lines (code page 932). Exit status: 0 done,
// 1 no progress window (or no menu to choose from) within SECONDS, 2 bad
// arguments, 3 the menu did not open or did not close.
#include <stdio.h>
#include <stdlib.h>

#include "ui/progress/progress_window.h"

namespace {

constexpr DWORD POLL_MS = 20;
const char PROGRAM_NAME[] = "Scrivlet.exe";

// True when the process that owns the window runs Scrivlet.exe.
bool owned_by_scrivlet(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return false;
    char image[MAX_PATH] = "";
    DWORD size = sizeof image;
    const BOOL named = QueryFullProcessImageNameA(process, 0, image, &size);
    CloseHandle(process);
    if (!named) return false;
    const char* base = image;
    for (const char* p = image; *p; ++p)
        if (*p == '\\' || *p == '/') base = p + 1;
    return lstrcmpiA(base, PROGRAM_NAME) == 0;
}

struct window_query_t {
    const char* cls;
    bool must_be_visible;
    HWND found;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM arg) {
    window_query_t* query = reinterpret_cast<window_query_t*>(arg);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, query->cls) != 0) return TRUE;
    if (query->must_be_visible && !IsWindowVisible(hwnd)) return TRUE;
    if (!owned_by_scrivlet(hwnd)) return TRUE;
    query->found = hwnd;
    return FALSE;
}

// A top-level window of Scrivlet.exe with the class, waited for.
HWND wait_for_window(const char* cls, bool must_be_visible, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        window_query_t query = {cls, must_be_visible, nullptr};
        EnumWindows(match_window, reinterpret_cast<LPARAM>(&query));
        if (query.found) return query.found;
        if (GetTickCount() - start >= timeout_ms) return nullptr;
        Sleep(POLL_MS);
    }
}

bool wait_until_hidden(HWND hwnd, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(POLL_MS);
    }
    return true;
}

void print_rect(const char* key, HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    printf("%s=%ld,%ld,%ld,%ld\n", key, r.left, r.top, r.right, r.bottom);
}

int open_menu(DWORD timeout_ms) {
    // The progress window is a dialog that is never visible.
    HWND window = wait_for_window("#32770", false, timeout_ms);
    if (!window) {
        printf("window=0\n");
        return 1;
    }
    printf("window=%p\nwindow_visible=%d\n", (void*)window, IsWindowVisible(window) ? 1 : 0);
    PostMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_UID, WM_RBUTTONUP);
    HWND menu = wait_for_window("#32768", true, timeout_ms);
    printf("menu=%d\n", menu ? 1 : 0);
    if (!menu) return 3;
    print_rect("menu_rect", menu);
    return 0;
}

// Keys go to the menu window; the menu's own loop in Scrivlet.exe reads them.
int close_menu(DWORD timeout_ms, bool choose) {
    HWND menu = wait_for_window("#32768", true, timeout_ms);
    if (!menu) {
        printf("menu=0\n");
        return 1;
    }
    if (choose) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    const bool closed = wait_until_hidden(menu, timeout_ms);
    printf("menu=1\nclosed=%d\n", closed ? 1 : 0);
    return closed ? 0 : 3;
}

BOOL CALLBACK print_window(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = "";
    char title[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    printf("window pid=%lu scrivlet=%d visible=%d class=%s title=%s\n", pid, owned_by_scrivlet(hwnd) ? 1 : 0,
           IsWindowVisible(hwnd) ? 1 : 0, cls, title);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && lstrcmpA(argv[1], "windows") == 0) {
        EnumWindows(print_window, 0);
        return 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: tray_click open-menu|choose|dismiss SECONDS | tray_click windows\n");
        return 2;
    }
    const DWORD timeout_ms = (DWORD)(atof(argv[2]) * 1000);
    int status = 2;
    if (lstrcmpA(argv[1], "open-menu") == 0)
        status = open_menu(timeout_ms);
    else if (lstrcmpA(argv[1], "choose") == 0)
        status = close_menu(timeout_ms, true);
    else if (lstrcmpA(argv[1], "dismiss") == 0)
        status = close_menu(timeout_ms, false);
    fflush(stdout);
    return status;
}
