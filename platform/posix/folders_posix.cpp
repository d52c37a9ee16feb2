// The folder seam on POSIX: each folder opened relative to its parent's
// descriptor, so no path is resolved twice and no path length limit applies,
// and read with getdents64 into a buffer of its own: no directory stream,
// so no fcntl and no fstat per folder.
//
// The type of an item comes from the directory entry itself; fstatat is
// called only for a symbolic link (is it a folder?), where the file system
// does not tell the type (d_type DT_UNKNOWN, as on some network and older
// file systems), and for the size and date when they are asked for.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>

#include "platform/posix/calls_posix.h"

namespace {

// Large enough that most folders take one call; folders are read one at a
// time by each thread, and the buffer goes when the folder has been read.
constexpr size_t ENTRY_BUFFER_SIZE = 32 * 1024;

// A name is at most 255 bytes; its code page 932 text is never longer.
constexpr size_t TEXT_SIZE = 1024;

}  // namespace

struct folder_t {
    int descriptor;
    unsigned options;
    char* entries;  // the getdents64 buffer while the folder is read; null before and after
    size_t entries_used;
    size_t entries_next;
    bool has_identity;
    folder_identity_t identity;
    char text[TEXT_SIZE];
};

namespace {

// What getdents64 writes: the kernel's record, not glibc's struct dirent.
struct kernel_entry_t {
    uint64_t inode;
    int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

constexpr int OPEN_FLAGS = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

folder_t* folder_from_descriptor(int descriptor, unsigned options) {
    if (descriptor < 0) {
        posix_fail(errno);
        return nullptr;
    }
    folder_t* folder = (folder_t*)malloc(sizeof(folder_t));
    if (!folder) {
        close(descriptor);
        posix_fail(ENOMEM);
        return nullptr;
    }
    folder->descriptor = descriptor;
    folder->options = options;
    folder->entries = nullptr;
    folder->entries_used = folder->entries_next = 0;
    folder->has_identity = false;
    return folder;
}

bool is_dots(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool names_a_folder(int descriptor, const char* name, int flags) {
    struct stat st;
    return fstatat(descriptor, name, &st, flags) == 0 && S_ISDIR(st.st_mode);
}

uint32_t attributes_of(const folder_t* folder, const kernel_entry_t* entry) {
    bool is_folder = false;
    bool is_link = false;
    switch (entry->type) {
        case DT_DIR:
            is_folder = true;
            break;
        case DT_LNK:
            is_link = true;
            is_folder = names_a_folder(folder->descriptor, entry->name, 0);
            break;
        case DT_UNKNOWN: {
            struct stat st;
            if (fstatat(folder->descriptor, entry->name, &st, AT_SYMLINK_NOFOLLOW) != 0) break;
            is_link = S_ISLNK(st.st_mode);
            is_folder =
                S_ISDIR(st.st_mode) || (is_link && names_a_folder(folder->descriptor, entry->name, 0));
            break;
        }
        default:
            break;
    }
    // Names that begin with a dot are hidden, as Windows shows them on Unix
    // file systems; the listing shows them like any other.
    uint32_t attributes = is_folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (entry->name[0] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
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

// The next batch of entries; false at the end (last error NONE) or on a failure.
bool fill_entries(folder_t* folder) {
    if (!folder->entries) {
        folder->entries = (char*)malloc(ENTRY_BUFFER_SIZE);
        if (!folder->entries) {
            posix_fail(ENOMEM);
            return false;
        }
    }
    long got;
    do {
        got = syscall(SYS_getdents64, folder->descriptor, folder->entries, ENTRY_BUFFER_SIZE);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        posix_fail(got < 0 ? errno : 0);
        free(folder->entries);
        folder->entries = nullptr;
        return false;
    }
    folder->entries_used = (size_t)got;
    folder->entries_next = 0;
    return true;
}

// Each folder on the walk's path and each one read ahead holds a descriptor:
// as many as the limit lets the listing have.
void raise_descriptor_limit() {
    static std::once_flag raised;
    std::call_once(raised, [] {
        struct rlimit limit;
        if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
            setrlimit(RLIMIT_NOFILE, &limit);
        }
    });
}

}  // namespace

folder_t* posix_folder_open(const char* path, unsigned options) {
    raise_descriptor_limit();
    return folder_from_descriptor(open(path, OPEN_FLAGS), options);
}

folder_t* posix_folder_open_child(folder_t* parent, const char* name, unsigned options) {
    return folder_from_descriptor(openat(parent->descriptor, name, OPEN_FLAGS), options);
}

bool posix_folder_read(folder_t* folder, folder_item_t* item) {
    for (;;) {
        if (folder->entries_next >= folder->entries_used && !fill_entries(folder)) return false;
        const kernel_entry_t* entry = (const kernel_entry_t*)(folder->entries + folder->entries_next);
        folder->entries_next += entry->length;
        if (is_dots(entry->name)) continue;
        item->native = entry->name;
        item->native_length = strlen(entry->name);
        item->text_length =
            text_from_native(folder->text, sizeof folder->text, item->native, item->native_length, TEXT_NAME);
        item->text = folder->text;
        item->alias = "";
        item->attributes = attributes_of(folder, entry);
        if (folder->options & FOLDER_DETAILS) read_details(folder, entry->name, item);
        return true;
    }
}

bool posix_folder_identity(folder_t* folder, folder_identity_t* identity) {
    if (!folder->has_identity) {
        struct stat st;
        if (fstat(folder->descriptor, &st) != 0) {
            posix_fail(errno);
            return false;
        }
        folder->identity = folder_identity_t{(uint64_t)st.st_dev, (uint64_t)st.st_ino};
        folder->has_identity = true;
    }
    *identity = folder->identity;
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
    close(folder->descriptor);
    free(folder->entries);
    free(folder);
}

unsigned posix_folders_open_max() {
    raise_descriptor_limit();
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 1u << 20;
    // Kept back for the standard streams, the list and its temporary file,
    // the trace, and what the C library may open.
    constexpr rlim_t RESERVE = 16;
    if (limit.rlim_cur <= RESERVE + 4) return 4;
    const rlim_t open_max = limit.rlim_cur - RESERVE;
    return open_max > (1u << 20) ? 1u << 20 : (unsigned)open_max;
}
