// Icons from the shell's file information, and a window's title-bar icons.
#include "TOOLS/toolwind/window_helpers.h"
// after windows.h, which it needs
#include <shellapi.h>

#include "text/mbs.h"

HICON GetFileIcon(const char* path, UINT size_flag) {
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, size_flag | SHGFI_ICON)) return nullptr;
    return info.hIcon;
}

HICON GetModuleIcon(HINSTANCE instance, UINT size_flag) {
    char path[PATH_BUFFER_SIZE];
    const DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    // A filled buffer means the name was cut: it would name another file.
    if (length == 0 || length >= sizeof path) return nullptr;
    return GetFileIcon(path, size_flag);
}

HICON SetWindowIcon(HWND hWnd, WPARAM which, HICON icon) {
    return (HICON)SendMessageA(hWnd, WM_SETICON, which, (LPARAM)icon);
}
