// Folder search, file attributes and short names on POSIX.
//
// Names come from readdir in UTF-8 and leave here in code page 932; the
// folder bit comes from the directory entry itself, and stat is called only
// for a symbolic link (walked like a folder when it leads to one) or where
// the file system does not tell the type.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "platform/posix/calls_posix.h"
#include "platform/posix/codepage_posix.h"

namespace {

struct find_handle_t {
    DIR* dir;
};

// Room for any path the program can hold (521 bytes of code page 932 grow
// to at most 1.5 times as many bytes of UTF-8, plus the "/*" we strip).
constexpr size_t POSIX_PATH_SIZE = 4096;

DWORD error_from_errno(int error) {
    switch (error) {
        case ENOENT:
            return ERROR_PATH_NOT_FOUND;
        case ENOTDIR:
            return ERROR_DIRECTORY;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

// Windows marks names that begin with a dot as hidden on Unix file systems
// (as Wine does); the listing shows them like any other.
DWORD attributes_for(const char* name, bool is_folder, bool is_link) {
    DWORD attributes = is_folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (name[0] == '.' && strcmp(name, ".") != 0 && strcmp(name, "..") != 0) {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    if (is_link) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes;
}

bool stat_is_folder(int dir_fd, const char* name) {
    struct stat st;
    return fstatat(dir_fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

void fill_find_data(DIR* dir, const struct dirent* entry, LPWIN32_FIND_DATAA data) {
    bool is_folder;
    bool is_link = false;
    switch (entry->d_type) {
        case DT_DIR:
            is_folder = true;
            break;
        case DT_LNK:
            is_link = true;
            is_folder = stat_is_folder(dirfd(dir), entry->d_name);
            break;
        case DT_UNKNOWN: {
            struct stat st;
            if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                is_folder = false;
                break;
            }
            is_link = S_ISLNK(st.st_mode);
            is_folder = S_ISDIR(st.st_mode) || (is_link && stat_is_folder(dirfd(dir), entry->d_name));
            break;
        }
        default:
            is_folder = false;
            break;
    }
    // Only the attributes and the names are read by the program; the rest
    // of the record stays zero.
    memset(data, 0, offsetof(WIN32_FIND_DATAA, cFileName));
    data->dwFileAttributes = attributes_for(entry->d_name, is_folder, is_link);
    cp932_from_utf8(data->cFileName, sizeof data->cFileName, entry->d_name);
    data->cAlternateFileName[0] = '\0';
}

// Splits "folder\*" into the folder to open; only the "*" pattern is needed.
bool folder_of_pattern(const char* pattern, char* folder, size_t size) {
    if (!posix_path_from_cp932(folder, size, pattern)) return false;
    char* slash = strrchr(folder, '/');
    char* name = slash ? slash + 1 : folder;
    if (strcmp(name, "*") != 0) return false;
    if (!slash) {
        strcpy(folder, ".");
    } else if (slash == folder) {
        slash[1] = '\0';  // "/*": the root
    } else {
        *slash = '\0';
    }
    return true;
}

}  // namespace

HANDLE WINAPI posix_FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    char folder[POSIX_PATH_SIZE];
    if (!folder_of_pattern(pattern, folder, sizeof folder)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DIR* dir = opendir(folder);
    if (!dir) {
        SetLastError(error_from_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    find_handle_t* find = (find_handle_t*)malloc(sizeof *find);
    if (!find) {
        closedir(dir);
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    find->dir = dir;
    if (!posix_FindNextFileA(find, data)) {
        // An empty listing: Windows always returns "." at least, but a
        // folder without entries reads as "no files" to every caller.
        posix_FindClose(find);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return find;
}

BOOL WINAPI posix_FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
    find_handle_t* find = (find_handle_t*)handle;
    if (!find || handle == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    errno = 0;
    const struct dirent* entry = readdir(find->dir);
    if (!entry) {
        SetLastError(errno ? error_from_errno(errno) : ERROR_NO_MORE_FILES);
        return FALSE;
    }
    fill_find_data(find->dir, entry, data);
    return TRUE;
}

BOOL WINAPI posix_FindClose(HANDLE handle) {
    find_handle_t* find = (find_handle_t*)handle;
    if (!find || handle == INVALID_HANDLE_VALUE) return FALSE;
    closedir(find->dir);
    free(find);
    return TRUE;
}

DWORD WINAPI posix_GetFileAttributesA(LPCSTR path) {
    char native[POSIX_PATH_SIZE];
    struct stat st;
    if (path[0] == '\0' || !posix_path_from_cp932(native, sizeof native, path) || stat(native, &st) != 0) {
        SetLastError(path[0] == '\0' ? ERROR_PATH_NOT_FOUND : error_from_errno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    const char* slash = strrchr(native, '/');
    return attributes_for(slash && slash[1] ? slash + 1 : native, S_ISDIR(st.st_mode), false);
}

// POSIX file systems have no 8.3 aliases: every query fails, and the list
// writer falls back to the long names.
DWORD WINAPI posix_GetShortPathNameA(LPCSTR, LPSTR, DWORD) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

DWORD posix_file_attributes(const char* path) {
    struct stat st;
    if (path[0] == '\0' || stat(path, &st) != 0) {
        SetLastError(path[0] == '\0' ? ERROR_PATH_NOT_FOUND : error_from_errno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    const char* slash = strrchr(path, '/');
    return attributes_for(slash && slash[1] ? slash + 1 : path, S_ISDIR(st.st_mode), false);
}
