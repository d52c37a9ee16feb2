// Files by native path on Windows: attributes, what a list file's path
// leads to, the temporary file beside the list and the replace.
//
// The replace keeps what Windows keeps for a file replaced in place
// (ReplaceFileW: its attributes, its ACL, its owner); a new list is moved
// into place (MoveFileExW).
#include <windows.h>
// after windows.h
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <atomic>

#include "platform/win32/calls_win32.h"
#include "platform/win32/long_path_win32.h"

struct file_t {
    HANDLE handle;
    bool owned;  // closed by file_close (standard output is not)
    bool disk;   // a file on a disk: flushed to it
};

namespace {

// Holds the "\\?\" form of a path where it needs one.
struct long_path_t {
    wchar_t* whole;
    explicit long_path_t(const wchar_t* path) : whole(win32_long_path(path)) {
        if (!whole) win32_fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    ~long_path_t() { free(whole); }
    long_path_t(const long_path_t&) = delete;
    long_path_t& operator=(const long_path_t&) = delete;
};

wchar_t* copy_of(const wchar_t* text) {
    const size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
    wchar_t* copy = (wchar_t*)malloc(size);
    if (copy) {
        memcpy(copy, text, size);
    } else {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    return copy;
}

// The path in the form the caller gave: "\\?\C:\x" back to "C:\x" and
// "\\?\UNC\s\x" back to "\\s\x" when the caller did not use the long
// form. Takes path over (freed here); null when out of memory.
wchar_t* in_given_form(wchar_t* path, const wchar_t* given) {
    if (wcsncmp(given, L"\\\\?\\", 4) == 0 || wcsncmp(path, L"\\\\?\\", 4) != 0) return path;
    const bool unc = wcsncmp(path, L"\\\\?\\UNC\\", 8) == 0;
    const wchar_t* rest = path + (unc ? 8 : 4);
    wchar_t* plain = (wchar_t*)malloc((wcslen(rest) + 3) * sizeof(wchar_t));
    if (plain) {
        wcscpy(plain, unc ? L"\\\\" : L"");
        wcscat(plain, rest);
    } else {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    free(path);
    return plain;
}

// The path a handle's file has, links followed, in the form the path was
// given ("\\?\C:\x" back to "C:\x" when the caller did not use that form).
wchar_t* final_path_of(HANDLE handle, const wchar_t* given) {
    const DWORD needed =
        GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    wchar_t* found = needed ? (wchar_t*)malloc((needed + 1) * sizeof(wchar_t)) : nullptr;
    if (!found ||
        GetFinalPathNameByHandleW(handle, found, needed + 1, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) == 0) {
        const DWORD error = found ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
        free(found);
        win32_fail(error ? error : ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return in_given_form(found, given);
}

file_t* new_file(HANDLE handle, bool owned) {
    file_t* file = (file_t*)malloc(sizeof(file_t));
    if (!file) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    file->handle = handle;
    file->owned = owned;
    file->disk = owned && GetFileType(handle) == FILE_TYPE_DISK;
    return file;
}

bool set_attributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO info = {};
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    if (SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info)) return true;
    win32_fail(GetLastError());
    return false;
}

}  // namespace

uint32_t win32_file_attributes(const wchar_t* path) {
    long_path_t whole(path);
    if (!whole.whole) return INVALID_FILE_ATTRIBUTES;
    const DWORD attributes = GetFileAttributesW(whole.whole);
    if (attributes == INVALID_FILE_ATTRIBUTES) win32_fail(GetLastError());
    return attributes;
}

wchar_t* win32_absolute_path(const wchar_t* path) {
    long_path_t whole(path);
    if (!whole.whole) return nullptr;
    const DWORD needed = GetFullPathNameW(whole.whole, 0, nullptr, nullptr);
    wchar_t* absolute = needed ? (wchar_t*)malloc(needed * sizeof(wchar_t)) : nullptr;
    if (!absolute || GetFullPathNameW(whole.whole, needed, absolute, nullptr) == 0) {
        win32_fail(absolute ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY);
        free(absolute);
        return nullptr;
    }
    return in_given_form(absolute, path);
}

bool win32_list_target_find(const wchar_t* path, list_target_t* target) {
    *target = list_target_t{LIST_TARGET_ABSENT, nullptr, false};
    long_path_t whole(path);
    if (!whole.whole) return false;
    // Opened with no access and links followed: what the path leads to.
    const HANDLE handle = CreateFileW(whole.whole, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // Nothing there (a link that leads nowhere is no place for a list).
        if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) &&
            GetFileAttributesW(whole.whole) == INVALID_FILE_ATTRIBUTES) {
            target->path = copy_of(path);
            return target->path != nullptr;
        }
        win32_fail(error);
        return false;
    }
    // NUL, CON, COM1 and pipes are not disk files.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        *target = list_target_t{LIST_TARGET_OTHER, copy_of(path), false};
        return target->path != nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != FALSE;
    const DWORD own_attributes = GetFileAttributesW(whole.whole);
    const bool is_link =
        own_attributes != INVALID_FILE_ATTRIBUTES && (own_attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    // Where the path leads, links followed. Every file is asked: Wine shows a
    // Linux link to a file as a plain file, without the reparse point. A plain
    // file whose final path the system cannot tell keeps its own.
    wchar_t* at = known ? final_path_of(handle, path) : nullptr;
    if (known && !at && !is_link) at = copy_of(path);
    const DWORD error = known ? ERROR_SUCCESS : GetLastError();
    CloseHandle(handle);
    if (!known || !at) {
        if (!known) win32_fail(error);
        free(at);
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        free(at);
        os_set_last_error(OS_ERROR_IS_A_FOLDER, ERROR_ACCESS_DENIED);
        return false;
    }
    // A file this user may not open for writing counts as read-only; one
    // that another program holds (a sheet open in a spreadsheet) is busy.
    bool read_only = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!read_only) {
        long_path_t resolved(at);
        const HANDLE writable = resolved.whole
                                    ? CreateFileW(resolved.whole, GENERIC_WRITE,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                  nullptr, OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE;
        if (writable != INVALID_HANDLE_VALUE) {
            CloseHandle(writable);
        } else if (GetLastError() == ERROR_ACCESS_DENIED) {
            read_only = true;
        } else {
            win32_fail(resolved.whole ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY);
            free(at);
            return false;
        }
    }
    *target = list_target_t{LIST_TARGET_REGULAR, at, read_only};
    return true;
}

file_t* win32_file_create_temp(const wchar_t* beside, wchar_t** temp_path) {
    static std::atomic<unsigned> counter{0};
    const wchar_t* name = beside;
    for (const wchar_t* p = beside; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || (*p == L':' && p == beside + 1)) name = p + 1;
    }
    const size_t folder_length = (size_t)(name - beside);
    const size_t size = folder_length + 64;
    wchar_t* path = (wchar_t*)malloc(size * sizeof(wchar_t));
    if (!path) {
        win32_fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    memcpy(path, beside, folder_length * sizeof(wchar_t));
    _snwprintf(path + folder_length, size - folder_length, L".scrivlet-%lu-%u.tmp", GetCurrentProcessId(),
               counter.fetch_add(1));
    path[size - 1] = L'\0';
    long_path_t whole(path);
    const HANDLE handle = whole.whole
                              ? CreateFileW(whole.whole, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr)
                              : INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE) {
        if (whole.whole) win32_fail(GetLastError());
        free(path);
        return nullptr;
    }
    file_t* file = new_file(handle, true);
    if (!file) {
        CloseHandle(handle);
        DeleteFileW(whole.whole);
        free(path);
        return nullptr;
    }
    *temp_path = path;
    return file;
}

file_t* win32_file_open_direct(const list_target_t* target) {
    long_path_t whole(target->path);
    if (!whole.whole) return nullptr;
    // Never truncated: what is there is the user's.
    const HANDLE handle = CreateFileW(whole.whole, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        win32_fail(GetLastError());
        return nullptr;
    }
    file_t* file = new_file(handle, true);
    if (!file) CloseHandle(handle);
    return file;
}

// The handle the program inherited; a program started without one (from
// the desktop) has none.
file_t* win32_file_standard_output() {
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!handle || handle == INVALID_HANDLE_VALUE) {
        win32_fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return new_file(handle, false);
}

// The old list's attributes (ReplaceFileW keeps its ACL and owner); a new
// list is a plain file, not hidden as the temporary file was made.
bool win32_file_copy_metadata(const wchar_t* from, file_t* to) {
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (from) {
        long_path_t whole(from);
        if (!whole.whole) return false;
        attributes = GetFileAttributesW(whole.whole);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            win32_fail(GetLastError());
            return false;
        }
        attributes &= FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    }
    return set_attributes(to->handle, attributes);
}

bool win32_file_identity(file_t* file, folder_identity_t* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file->handle, &info)) {
        win32_fail(GetLastError());
        return false;
    }
    identity->volume = info.dwVolumeSerialNumber;
    identity->file = (uint64_t)info.nFileIndexHigh << 32 | info.nFileIndexLow;
    return true;
}

bool win32_file_write(file_t* file, const void* data, size_t size, size_t* written) {
    const char* bytes = (const char*)data;
    *written = 0;
    while (*written < size) {
        const size_t left = size - *written;
        const DWORD step = left > 0x40000000u ? 0x40000000u : (DWORD)left;
        DWORD done = 0;
        if (!WriteFile(file->handle, bytes + *written, step, &done, nullptr) || done == 0) {
            win32_fail(done == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_WRITE_FAULT : GetLastError());
            return false;
        }
        *written += done;
    }
    return true;
}

bool win32_file_flush(file_t* file) {
    if (file->disk && !FlushFileBuffers(file->handle)) {
        win32_fail(GetLastError());
        return false;
    }
    return true;
}

bool win32_file_close(file_t* file) {
    bool closed = true;
    if (file->owned && !CloseHandle(file->handle)) {
        win32_fail(GetLastError());
        closed = false;
    }
    free(file);
    return closed;
}

bool win32_file_replace(const wchar_t* from, const wchar_t* to) {
    // Full paths: Wine's ReplaceFileW fails with ERROR_DIRECTORY on a name
    // without a folder ("list.txt"), as a list file named in the current folder is.
    wchar_t* absolute_from = win32_absolute_path(from);
    wchar_t* absolute_to = absolute_from ? win32_absolute_path(to) : nullptr;
    long_path_t whole_from(absolute_from ? absolute_from : from);
    long_path_t whole_to(absolute_to ? absolute_to : to);
    free(absolute_from);
    free(absolute_to);
    if (!absolute_to || !whole_from.whole || !whole_to.whole) return false;
    BOOL replaced;
    if (GetFileAttributesW(whole_to.whole) != INVALID_FILE_ATTRIBUTES) {
        replaced = ReplaceFileW(whole_to.whole, whole_from.whole, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr, nullptr);
    } else {
        replaced =
            MoveFileExW(whole_from.whole, whole_to.whole, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!replaced) win32_fail(GetLastError());
    return replaced != FALSE;
}

bool win32_file_remove(const wchar_t* path) {
    long_path_t whole(path);
    if (!whole.whole) return false;
    if (DeleteFileW(whole.whole)) return true;
    win32_fail(GetLastError());
    return false;
}
