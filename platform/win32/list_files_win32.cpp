// The list file's temporary file and replace on Windows.
#include <windows.h>
// after windows.h
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <atomic>

#include "platform/platform.h"
#include "platform/win32/long_path_win32.h"

namespace {

// Calls fn with the "\\?\" form of path where it needs one.
template <typename Fn>
auto with_long_path(const wchar_t* path, Fn fn, decltype(fn(path)) failed) -> decltype(fn(path)) {
    wchar_t* whole = win32_long_path(path);
    if (!whole) return failed;
    auto result = fn(whole);
    free(whole);
    return result;
}

}  // namespace

int win32_list_target_kind(const wchar_t* path) {
    return with_long_path(
        path,
        [](const wchar_t* whole) {
            const HANDLE handle =
                CreateFileW(whole, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
                return absent ? (int)LIST_TARGET_ABSENT : (int)LIST_TARGET_REGULAR;
            }
            // NUL, CON, COM1 and pipes are not disk files.
            const DWORD type = GetFileType(handle);
            CloseHandle(handle);
            return type == FILE_TYPE_DISK ? (int)LIST_TARGET_REGULAR : (int)LIST_TARGET_OTHER;
        },
        (int)LIST_TARGET_REGULAR);
}

FILE* win32_create_temp_file(const wchar_t* beside, wchar_t** temp_path) {
    static std::atomic<unsigned> counter{0};
    const wchar_t* name = beside;
    for (const wchar_t* p = beside; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || (*p == L':' && p == beside + 1)) name = p + 1;
    }
    const size_t folder_length = (size_t)(name - beside);
    const size_t size = folder_length + 64;
    wchar_t* path = (wchar_t*)malloc(size * sizeof(wchar_t));
    if (!path) return nullptr;
    memcpy(path, beside, folder_length * sizeof(wchar_t));
    _snwprintf(path + folder_length, size - folder_length, L".scrivlet-%lu-%u.tmp", GetCurrentProcessId(),
               counter.fetch_add(1));
    path[size - 1] = L'\0';
    const HANDLE handle = with_long_path(
        path,
        [](const wchar_t* whole) {
            return CreateFileW(whole, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        },
        INVALID_HANDLE_VALUE);
    if (handle == INVALID_HANDLE_VALUE) {
        free(path);
        return nullptr;
    }
    const int descriptor = _open_osfhandle((intptr_t)handle, _O_WRONLY | _O_BINARY);
    FILE* file = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
    if (!file) {
        if (descriptor >= 0) {
            _close(descriptor);
        } else {
            CloseHandle(handle);
        }
        os.remove_file(path);
        free(path);
        return nullptr;
    }
    *temp_path = path;
    return file;
}

bool win32_flush_file(FILE* file) {
    if (fflush(file) != 0) return false;
    const HANDLE handle = (HANDLE)_get_osfhandle(_fileno(file));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

// The temporary file is hidden; the list takes the old list's attributes, or
// none of its own.
bool win32_replace_file(const wchar_t* from, const wchar_t* to) {
    wchar_t* whole_from = win32_long_path(from);
    wchar_t* whole_to = win32_long_path(to);
    bool replaced = false;
    if (whole_from && whole_to) {
        const DWORD old_attributes = GetFileAttributesW(whole_to);
        SetFileAttributesW(
            whole_from, old_attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : old_attributes);
        replaced =
            MoveFileExW(whole_from, whole_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    free(whole_from);
    free(whole_to);
    return replaced;
}

bool win32_remove_file(const wchar_t* path) {
    return with_long_path(
        path, [](const wchar_t* whole) { return DeleteFileW(whole) != FALSE; }, false);
}
