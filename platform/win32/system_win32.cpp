// What the listing asks of the system beside folders and files, on Windows.
#include <windows.h>
// after windows.h
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "platform/win32/calls_win32.h"
#include "platform/win32/console_win32.h"
#include "platform/win32/long_path_win32.h"
#include "text/unicode_convert.h"

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

namespace {

// Set once at start, before any other thread: the console of the program
// that started this one, where there is one.
bool console_attached = false;

}  // namespace

void console_attach_parent() {
    console_attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
}

// A windowed program has a console only when one started it: the line goes
// there, after the program's name, and the caller shows no box.
bool win32_console_line(const char* text) {
    if (!console_attached) return false;
    const HANDLE handle = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const size_t length = strlen(text);
    const size_t size = utf16_from_cp932(nullptr, 0, text, length) + 1;
    wchar_t* wide = (wchar_t*)malloc(size * sizeof(wchar_t));
    bool written = false;
    if (wide) {
        utf16_from_cp932(wide, size, text, length);
        DWORD done = 0;
        written = WriteConsoleW(handle, L"\r\nScrivlet: ", 12, &done, nullptr) &&
                  WriteConsoleW(handle, wide, (DWORD)wcslen(wide), &done, nullptr) &&
                  WriteConsoleW(handle, L"\r\n", 2, &done, nullptr);
        free(wide);
    }
    CloseHandle(handle);
    return written;
}

uint64_t win32_clock_ms() {
    return GetTickCount64();
}

// The zone, asked once per run: asked on each conversion (a null zone),
// Wine reads the zone file again, two stat calls for each row of a sheet.
static const TIME_ZONE_INFORMATION* current_zone() {
    static TIME_ZONE_INFORMATION zone;
    static const bool known = GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID;
    return known ? &zone : nullptr;
}

// Seconds since 1970 in UTC, as the user's clock showed that moment (the
// rules of daylight saving time of that year).
bool win32_local_time(int64_t seconds, local_time_t* out) {
    constexpr int64_t SECONDS_1601_TO_1970 = 11644473600LL;
    const int64_t ticks = (seconds + SECONDS_1601_TO_1970) * 10000000LL;
    if (seconds < -SECONDS_1601_TO_1970 || ticks < 0) {
        win32_fail(ERROR_INVALID_PARAMETER);
        return false;
    }
    FILETIME utc_file = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&utc_file, &utc) ||
        !SystemTimeToTzSpecificLocalTime(current_zone(), &utc, &local)) {
        win32_fail(GetLastError());
        return false;
    }
    *out = local_time_t{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return true;
}

void* win32_malloc(size_t size) {
    void* block = malloc(size);
    if (!block) win32_fail(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

// A key of LCMapStringA is never the name itself.
bool win32_sort_key_folds_ascii() {
    return false;
}

// The user's order without regard to case, as the Windows shell sorts.
int win32_sort_key(const char* text, char* out, int out_size) {
    const int size =
        LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text, -1, out, out_size);
    if (size == 0) win32_fail(GetLastError());
    return size;
}
