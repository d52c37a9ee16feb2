// What the listing asks of the system beside folders and files, on POSIX.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "platform/posix/calls_posix.h"
#include "text/unicode_convert.h"

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

void posix_console_line(const char* text) {
    const size_t size = strlen(text) * 3 + 2;
    char* utf8 = (char*)malloc(size);
    if (!utf8) return;
    utf8_from_cp932(utf8, size, text, strlen(text));
    fprintf(stderr, "%s\n", utf8);
    free(utf8);
}
