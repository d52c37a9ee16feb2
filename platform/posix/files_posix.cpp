// File attributes on POSIX, by the program's text and by native path.
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "platform/posix/calls_posix.h"

namespace {

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

}  // namespace

DWORD WINAPI posix_GetFileAttributesA(LPCSTR path) {
    char native[POSIX_PATH_SIZE];
    struct stat st;
    if (path[0] == '\0' || native_from_text(native, sizeof native, path) >= sizeof native ||
        stat(native, &st) != 0) {
        SetLastError(path[0] == '\0' ? ERROR_PATH_NOT_FOUND : error_from_errno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    const char* slash = strrchr(native, '/');
    return attributes_for(slash && slash[1] ? slash + 1 : native, S_ISDIR(st.st_mode), false);
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
