// The list file's temporary file and replace on POSIX: O_EXCL, fsync, rename.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "platform/posix/calls_posix.h"

int posix_list_target_kind(const char* path) {
    struct stat st;
    if (lstat(path, &st) != 0) return errno == ENOENT ? LIST_TARGET_ABSENT : LIST_TARGET_REGULAR;
    // A link is written through, never replaced by a file of its own.
    return S_ISREG(st.st_mode) ? LIST_TARGET_REGULAR : LIST_TARGET_OTHER;
}

FILE* posix_create_temp_file(const char* beside, char** temp_path) {
    static std::atomic<unsigned> counter{0};
    const char* slash = strrchr(beside, '/');
    const size_t folder_length = slash ? (size_t)(slash - beside) + 1 : 0;
    const size_t size = folder_length + 64;
    char* path = (char*)malloc(size);
    if (!path) return nullptr;
    memcpy(path, beside, folder_length);
    snprintf(path + folder_length, size - folder_length, ".scrivlet-%ld-%u.tmp", (long)getpid(),
             counter.fetch_add(1));
    const int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
    if (!file) {
        if (descriptor >= 0) {
            close(descriptor);
            unlink(path);
        }
        free(path);
        return nullptr;
    }
    // The new list keeps the old one's permissions.
    struct stat st;
    if (stat(beside, &st) == 0) fchmod(descriptor, st.st_mode & 07777);
    *temp_path = path;
    return file;
}

bool posix_flush_file(FILE* file) {
    return fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool posix_replace_file(const char* from, const char* to) {
    return rename(from, to) == 0;
}

bool posix_remove_file(const char* path) {
    return unlink(path) == 0;
}
