// What the listing asks of the system beside folders and files, on Windows.
#include <windows.h>
// after windows.h
#include <stdlib.h>
#include <wchar.h>

#include "platform/platform.h"
#include "platform/win32/long_path_win32.h"

size_t win32_short_path(const wchar_t* path, wchar_t* out, size_t out_size) {
    wchar_t* whole = win32_long_path(path);
    if (!whole) return 0;
    const DWORD length = GetShortPathNameW(whole, out, (DWORD)out_size);
    free(whole);
    return length;  // with the terminator when it did not fit, as GetShortPathNameW counts
}

bool win32_folder_is_remote(const wchar_t* path) {
    wchar_t* whole = win32_long_path(path);
    if (!whole) return false;
    wchar_t root[MAX_PATH];
    const BOOL found = GetVolumePathNameW(whole, root, MAX_PATH);
    free(whole);
    if (!found) return false;
    return (root[0] == L'\\' && root[1] == L'\\' && root[2] != L'?') || GetDriveTypeW(root) == DRIVE_REMOTE;
}

unsigned win32_processor_count() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

// A windowed program has no console: the trace has the line already.
void win32_console_line(const char*) {}
