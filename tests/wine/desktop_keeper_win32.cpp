// Keeps Wine's desktop process alive for a test run.
//
// Wine ends its hidden desktop process (explorer.exe /desktop) when the last
// window closes, and the next program that opens a window then waits more than
// a second for it to start again. One hidden window held open for the whole
// run avoids that. The program runs until it is sent WM_CLOSE or the
// wineserver is stopped.
//
// It also keeps an icon of its own in the notification area: Wine hides its
// tray window when the last icon goes, and that removal blocks the program
// deleting its icon for about two seconds.
#include <stdio.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

static LRESULT CALLBACK keeper_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = keeper_proc;
    wc.hInstance = instance;
    wc.lpszClassName = "ScrivletTestDesktopKeeper";
    if (!RegisterClassA(&wc)) return 1;
    // Never shown: the window only has to exist.
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                                instance, nullptr);
    if (!hwnd) return 1;
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, "test desktop", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);
    // The desktop process is up once the window exists; the script waits for this line.
    printf("ready\n");
    fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
