// What the listing asks of the system beside folders and files, on Windows.
#include <windows.h>
// after windows.h
#include <stdlib.h>
#include <wchar.h>

#include "platform/platform.h"
#include "platform/win32/long_path_win32.h"

// The short form as the path was given: the "\\?\" form that a long path
// needs for the call is taken off the answer again.
size_t win32_short_path(const wchar_t* path, wchar_t* out, size_t out_size) {
    wchar_t* whole = win32_long_path(path);
    if (!whole) return 0;
    const DWORD needed = GetShortPathNameW(whole, nullptr, 0);
    wchar_t* found = needed ? (wchar_t*)malloc(needed * sizeof(wchar_t)) : nullptr;
    size_t length = found ? GetShortPathNameW(whole, found, needed) : 0;
    const bool added_prefix = wcsncmp(whole, L"\\\\?\\", 4) == 0 && wcsncmp(path, L"\\\\?\\", 4) != 0;
    free(whole);
    if (length == 0 || length >= needed) {
        free(found);
        return 0;
    }
    // "\\?\UNC\server\share" was "\\server\share", "\\?\C:\..." was "C:\...".
    const bool unc = added_prefix && wcsncmp(found, L"\\\\?\\UNC\\", 8) == 0;
    const wchar_t* rest = unc ? found + 8 : added_prefix ? found + 4 : found;
    const wchar_t* lead = unc ? L"\\\\" : L"";
    length = wcslen(lead) + wcslen(rest);
    if (length < out_size) {
        wcscpy(out, lead);
        wcscat(out, rest);
    }
    free(found);
    return length;
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
bool win32_console_line(const char*) {
    return false;
}
