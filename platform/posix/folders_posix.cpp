// The folder seam on POSIX: each folder opened relative to its parent's
// descriptor, so no path is resolved twice and no path length limit applies.
//
// The type of an item comes from the directory entry itself; fstatat is
// called only for a symbolic link (is it a folder?) and where the file system
// does not tell the type (d_type DT_UNKNOWN, as on some network and older
// file systems). Errors are the errno values, as the user's tools show them.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "platform/posix/calls_posix.h"

struct folder_t {
    DIR* stream;
    int descriptor;  // the stream's own: closed with it
    unsigned options;
    // A name is at most 255 bytes; its code page 932 text is never longer.
    char text[1024];
};

namespace {

constexpr int OPEN_FLAGS = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

folder_t* folder_from_descriptor(int descriptor, unsigned options) {
    if (descriptor < 0) {
        posix_fail(errno);
        return nullptr;
    }
    folder_t* folder = (folder_t*)malloc(sizeof(folder_t));
    DIR* stream = folder ? fdopendir(descriptor) : nullptr;
    if (!stream) {
        posix_fail(folder ? errno : ENOMEM);
        free(folder);
        close(descriptor);
        return nullptr;
    }
    folder->stream = stream;
    folder->descriptor = descriptor;
    folder->options = options;
    return folder;
}

bool is_dots(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool names_a_folder(int descriptor, const char* name, int flags) {
    struct stat st;
    return fstatat(descriptor, name, &st, flags) == 0 && S_ISDIR(st.st_mode);
}

uint32_t attributes_of(const folder_t* folder, const struct dirent* entry) {
    bool is_folder = false;
    bool is_link = false;
    switch (entry->d_type) {
        case DT_DIR:
            is_folder = true;
            break;
        case DT_LNK:
            is_link = true;
            is_folder = names_a_folder(folder->descriptor, entry->d_name, 0);
            break;
        case DT_UNKNOWN: {
            struct stat st;
            if (fstatat(folder->descriptor, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) break;
            is_link = S_ISLNK(st.st_mode);
            is_folder =
                S_ISDIR(st.st_mode) || (is_link && names_a_folder(folder->descriptor, entry->d_name, 0));
            break;
        }
        default:
            break;
    }
    // Names that begin with a dot are hidden, as Windows shows them on Unix
    // file systems; the listing shows them like any other.
    uint32_t attributes = is_folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (entry->d_name[0] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (is_link) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes;
}

// The size, the date and whether the owner may write, of the item itself
// (a link is not followed: its own date). An item gone since the folder was
// read keeps its line, without them.
void read_details(const folder_t* folder, const char* name, folder_item_t* item) {
    struct stat st;
    item->details_known = fstatat(folder->descriptor, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (!item->details_known) {
        item->size = 0;
        item->modified = 0;
        return;
    }
    item->size = (uint64_t)st.st_size;
    item->modified = (int64_t)st.st_mtim.tv_sec;
    if (!(st.st_mode & S_IWUSR)) item->attributes |= FILE_ATTRIBUTE_READONLY;
}

// Each folder on the walk's path and each one read ahead holds a descriptor:
// a deep tree needs more than the usual soft limit of 1024.
void raise_descriptor_limit() {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

folder_t* posix_folder_open(const char* path, unsigned options) {
    static std::once_flag raised;
    std::call_once(raised, raise_descriptor_limit);
    return folder_from_descriptor(open(path, OPEN_FLAGS), options);
}

folder_t* posix_folder_open_child(folder_t* parent, const char* name, unsigned options) {
    return folder_from_descriptor(openat(parent->descriptor, name, OPEN_FLAGS), options);
}

bool posix_folder_read(folder_t* folder, folder_item_t* item) {
    for (;;) {
        errno = 0;
        const struct dirent* entry = readdir(folder->stream);
        if (!entry) {
            posix_fail(errno);
            return false;
        }
        if (is_dots(entry->d_name)) continue;
        item->native = entry->d_name;
        item->native_length = strlen(entry->d_name);
        item->text_length =
            text_from_native(folder->text, sizeof folder->text, item->native, item->native_length, TEXT_NAME);
        item->text = folder->text;
        item->alias = "";
        item->attributes = attributes_of(folder, entry);
        if (folder->options & FOLDER_DETAILS) read_details(folder, entry->d_name, item);
        return true;
    }
}

bool posix_folder_identity(folder_t* folder, folder_identity_t* identity) {
    struct stat st;
    if (fstat(folder->descriptor, &st) != 0) {
        posix_fail(errno);
        return false;
    }
    identity->volume = (uint64_t)st.st_dev;
    identity->file = (uint64_t)st.st_ino;
    return true;
}

bool posix_folder_item_identity(folder_t* folder, const char* name, folder_identity_t* identity) {
    struct stat st;
    if (fstatat(folder->descriptor, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        posix_fail(errno);
        return false;
    }
    identity->volume = (uint64_t)st.st_dev;
    identity->file = (uint64_t)st.st_ino;
    return true;
}

void posix_folder_close(folder_t* folder) {
    if (!folder) return;
    closedir(folder->stream);
    free(folder);
}
