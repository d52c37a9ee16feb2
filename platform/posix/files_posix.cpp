// Files by native path on POSIX: their attributes, and what a list file's
// path leads to.
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/calls_posix.h"
#include "platform/posix/descriptor_names_posix.h"

namespace {

// Windows marks names that begin with a dot as hidden on Unix file systems
// (as Wine does); the listing shows them like any other.
uint32_t attributes_for(const char* name, bool is_folder) {
    uint32_t attributes = is_folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (name[0] == '.' && strcmp(name, ".") != 0 && strcmp(name, "..") != 0) {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    return attributes;
}

// Links lead on at most this many times, as the kernel allows.
constexpr int MOST_LINKS = 40;

char* copy_of(const char* text, size_t length) {
    char* copy = (char*)malloc(length + 1);
    if (!copy) return nullptr;
    memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

// Where a link at `path` leads: its text, taken relative to the link's folder.
char* link_target(const char* path) {
    char text[4096];
    const ssize_t length = readlink(path, text, sizeof text);
    if (length < 0 || (size_t)length >= sizeof text) {
        posix_fail(length < 0 ? errno : ENAMETOOLONG);
        return nullptr;
    }
    const char* slash = strrchr(path, '/');
    const size_t folder_length = text[0] == '/' || !slash ? 0 : (size_t)(slash - path) + 1;
    char* joined = (char*)malloc(folder_length + (size_t)length + 1);
    if (!joined) {
        posix_fail(ENOMEM);
        return nullptr;
    }
    memcpy(joined, path, folder_length);
    memcpy(joined + folder_length, text, (size_t)length);
    joined[folder_length + (size_t)length] = '\0';
    return joined;
}

}  // namespace

uint32_t posix_file_attributes(const char* path) {
    struct stat st;
    if (path[0] == '\0' || stat(path, &st) != 0) {
        posix_fail(path[0] == '\0' ? ENOENT : errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    const char* slash = strrchr(path, '/');
    return attributes_for(slash && slash[1] ? slash + 1 : path, S_ISDIR(st.st_mode));
}

char* posix_absolute_path(const char* path) {
    char* absolute = realpath(path, nullptr);
    if (!absolute) posix_fail(errno);
    return absolute;
}

bool posix_list_target_find(const char* path, list_target_t* target) {
    *target = list_target_t{LIST_TARGET_ABSENT, nullptr, false};
    char* at = copy_of(path, strlen(path));
    if (!at) {
        posix_fail(ENOMEM);
        return false;
    }
    for (int links = 0; links <= MOST_LINKS; ++links) {
        // /dev/stdout leads to /proc/self/fd/1, whose link names the file the
        // shell opened (maybe with >>): the descriptor is the target, not that file.
        if (names_own_descriptor(at) >= 0) {
            *target = list_target_t{LIST_TARGET_OTHER, at, false};
            return true;
        }
        struct stat st;
        if (lstat(at, &st) != 0) {
            if (errno == ENOENT) {
                *target = list_target_t{LIST_TARGET_ABSENT, at, false};
                return true;
            }
            posix_fail(errno);
            free(at);
            return false;
        }
        if (S_ISLNK(st.st_mode)) {
            char* next = link_target(at);
            free(at);
            if (!next) return false;
            at = next;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            posix_fail(EISDIR);
            free(at);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            *target = list_target_t{LIST_TARGET_OTHER, at, false};
            return true;
        }
        // As rm calls a file write-protected: no write permission for anyone
        // (root may write it all the same), or none for this user.
        const bool read_only = (st.st_mode & 0222) == 0 || access(at, W_OK) != 0;
        *target = list_target_t{LIST_TARGET_REGULAR, at, read_only};
        return true;
    }
    posix_fail(ELOOP);
    free(at);
    return false;
}
