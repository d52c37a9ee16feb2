// What the listing asks of the system beside folders and files, on POSIX.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include "platform/posix/calls_posix.h"

// POSIX file systems have no 8.3 aliases.
size_t posix_short_path(const char*, char* out, size_t out_size) {
    if (out_size > 0) out[0] = '\0';
    return 0;
}

bool posix_folder_is_remote(const char* path) {
    struct statfs fs;
    if (statfs(path, &fs) != 0) return false;
    switch ((unsigned long)fs.f_type) {
        case 0x6969UL:      // NFS
        case 0x517BUL:      // SMB
        case 0xFF534D42UL:  // CIFS
        case 0xFE534D42UL:  // SMB2
        case 0x65735546UL:  // FUSE (sshfs and the like)
        case 0x564CUL:      // NCP
            return true;
        default:
            return false;
    }
}

unsigned posix_processor_count() {
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? (unsigned)count : 1;
}

uint64_t posix_clock_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000 + (uint64_t)now.tv_nsec / 1000000;
}

bool posix_local_time(int64_t seconds, local_time_t* out) {
    const time_t moment = (time_t)seconds;
    struct tm parts;
    if (!localtime_r(&moment, &parts)) {
        posix_fail(EOVERFLOW);
        return false;
    }
    *out = local_time_t{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                        parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    return true;
}

void* posix_malloc(size_t size) {
    void* block = malloc(size);
    if (!block) posix_fail(ENOMEM);
    return block;
}
