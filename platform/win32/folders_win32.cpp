// The folder seam on Windows: FindFirstFileExW on the wide path.
//
// Without short names the search asks for the basic information only
// (FindExInfoBasic: no 8.3 alias is produced) and for large fetches. Paths
// past the classic limit take the "\\?\" form (win32_long_path).
//
// What FindFirstFileExW answers, as the code below relies on it:
//   an empty folder            "." and ".." (an empty drive root: ERROR_FILE_NOT_FOUND)
//   a missing folder           ERROR_PATH_NOT_FOUND
//   a file, not a folder       ERROR_DIRECTORY (Wine: ERROR_PATH_NOT_FOUND)
//   a folder it may not read   ERROR_ACCESS_DENIED
#include <windows.h>
// after windows.h
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "platform/win32/calls_win32.h"
#include "platform/win32/long_path_win32.h"

struct folder_t {
    wchar_t* path;  // as given or composed; the "\\?\" form is made per call
    size_t path_length;
    HANDLE find;   // INVALID_HANDLE_VALUE once there is nothing more to read
    bool pending;  // data holds an item not yet handed out
    unsigned options;
    bool has_identity;
    folder_identity_t identity;
    WIN32_FIND_DATAW data;
    // A name is at most 255 UTF-16 units: at most 510 bytes of code page 932.
    char text[2 * MAX_PATH + 2];
};

namespace {

bool ends_in_separator(const wchar_t* path, size_t length) {
    return length > 0 && (path[length - 1] == L'\\' || path[length - 1] == L'/');
}

// path, a separator where it needs one, then name: a heap block.
wchar_t* joined(const wchar_t* path, size_t path_length, const wchar_t* name, size_t* length) {
    const size_t name_length = wcslen(name);
    const bool separator = path_length > 0 && !ends_in_separator(path, path_length);
    *length = path_length + (separator ? 1 : 0) + name_length;
    wchar_t* result = (wchar_t*)malloc((*length + 1) * sizeof(wchar_t));
    if (!result) return nullptr;
    memcpy(result, path, path_length * sizeof(wchar_t));
    if (separator) result[path_length] = L'\\';
    memcpy(result + *length - name_length, name, (name_length + 1) * sizeof(wchar_t));
    return result;
}

HANDLE find_first(const wchar_t* path, size_t path_length, unsigned options, WIN32_FIND_DATAW* data) {
    size_t length;
    wchar_t* pattern = joined(path, path_length, L"*", &length);
    wchar_t* whole = pattern ? win32_long_path(pattern) : nullptr;
    free(pattern);
    if (!whole) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    const bool short_names = (options & FOLDER_SHORT_NAMES) != 0;
    const HANDLE find =
        FindFirstFileExW(whole, short_names ? FindExInfoStandard : FindExInfoBasic, data,
                         FindExSearchNameMatch, nullptr, short_names ? 0 : FIND_FIRST_EX_LARGE_FETCH);
    const DWORD error = GetLastError();
    free(whole);
    if (find == INVALID_HANDLE_VALUE) SetLastError(error);
    return find;
}

// Takes ownership of path.
folder_t* open_path(wchar_t* path, size_t path_length, unsigned options) {
    if (!path) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    folder_t* folder = (folder_t*)calloc(1, sizeof(folder_t));
    if (!folder) {
        free(path);
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    folder->path = path;
    folder->path_length = path_length;
    folder->options = options;
    folder->find = find_first(path, path_length, options, &folder->data);
    if (folder->find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            free(folder->path);
            free(folder);
            win32_fail(error);
            return nullptr;
        }
        // Nothing matches "*": an empty drive root. An empty folder, not a failure.
    } else {
        folder->pending = true;
    }
    return folder;
}

bool is_dots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

folder_t* win32_folder_open(const wchar_t* path, unsigned options) {
    const size_t length = wcslen(path);
    wchar_t* copy = (wchar_t*)malloc((length + 1) * sizeof(wchar_t));
    if (copy) memcpy(copy, path, (length + 1) * sizeof(wchar_t));
    return open_path(copy, length, options);
}

folder_t* win32_folder_open_child(folder_t* parent, const wchar_t* name, unsigned options) {
    size_t length = 0;
    wchar_t* path = joined(parent->path, parent->path_length, name, &length);
    return open_path(path, length, options);
}

bool win32_folder_read(folder_t* folder, folder_item_t* item) {
    for (;;) {
        if (folder->find == INVALID_HANDLE_VALUE) {
            os_set_last_error(OS_NO_ERROR);
            return false;
        }
        if (!folder->pending && !FindNextFileW(folder->find, &folder->data)) {
            const DWORD error = GetLastError();
            FindClose(folder->find);
            folder->find = INVALID_HANDLE_VALUE;
            win32_fail(error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error);
            return false;
        }
        folder->pending = false;
        const WIN32_FIND_DATAW* data = &folder->data;
        if (is_dots(data->cFileName)) continue;
        item->native = data->cFileName;
        item->native_length = wcslen(data->cFileName);
        item->text_length =
            text_from_native(folder->text, sizeof folder->text, item->native, item->native_length, TEXT_NAME);
        item->text = folder->text;
        item->alias = (folder->options & FOLDER_SHORT_NAMES) ? data->cAlternateFileName : L"";
        item->attributes = data->dwFileAttributes;
        // The search's own record has them: no call per item.
        item->size = (uint64_t)data->nFileSizeHigh << 32 | data->nFileSizeLow;
        const int64_t ticks = (int64_t)((uint64_t)data->ftLastWriteTime.dwHighDateTime << 32 |
                                        data->ftLastWriteTime.dwLowDateTime);
        item->modified = ticks / 10000000 - 11644473600LL;  // from 1601 in 100 ns to 1970 in seconds
        item->details_known = true;
        return true;
    }
}

// The volume and file index of what path names: for a link, its target's
// (flags 0 or FILE_FLAG_OPEN_REPARSE_POINT for the link itself).
static bool identity_of(const wchar_t* path, DWORD flags, folder_identity_t* identity) {
    wchar_t* whole = win32_long_path(path);
    if (!whole) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    const HANDLE handle = CreateFileW(whole, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    free(whole);
    if (handle == INVALID_HANDLE_VALUE) {
        win32_fail(GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL known = GetFileInformationByHandle(handle, &info);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!known) {
        win32_fail(error);
        return false;
    }
    identity->volume = info.dwVolumeSerialNumber;
    identity->file = (uint64_t)info.nFileIndexHigh << 32 | info.nFileIndexLow;
    return true;
}

// The folder's own handle tells its volume and file index; for a link the
// target's, which is what a loop check needs (measured under Wine 8 too).
bool win32_folder_identity(folder_t* folder, folder_identity_t* identity) {
    if (!folder->has_identity) {
        if (!identity_of(folder->path, 0, &folder->identity)) return false;
        folder->has_identity = true;
    }
    *identity = folder->identity;
    return true;
}

bool win32_folder_item_identity(folder_t* folder, const wchar_t* name, folder_identity_t* identity) {
    size_t length = 0;
    wchar_t* path = joined(folder->path, folder->path_length, name, &length);
    if (!path) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    const bool known = identity_of(path, FILE_FLAG_OPEN_REPARSE_POINT, identity);
    free(path);
    return known;
}

void win32_folder_close(folder_t* folder) {
    if (!folder) return;
    if (folder->find != INVALID_HANDLE_VALUE) FindClose(folder->find);
    free(folder->path);
    free(folder);
}

// A find handle is no scarce resource: the listing's own window bounds them.
unsigned win32_folders_open_max() {
    return 1u << 20;
}
