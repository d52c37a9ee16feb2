#include "platform/posix/descriptor_names_posix.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <initializer_list>

namespace {

// The number after prefix, when path is prefix and digits alone.
int number_after(const char* path, const char* prefix) {
    const size_t length = strlen(prefix);
    if (strncmp(path, prefix, length) != 0 || path[length] == '\0') return -1;
    int number = 0;
    for (const char* p = path + length; *p; ++p) {
        if (*p < '0' || *p > '9' || number > 100000000) return -1;
        number = number * 10 + (*p - '0');
    }
    return number;
}

}  // namespace

int names_own_descriptor(const char* path) {
    char own[64];
    snprintf(own, sizeof own, "/proc/%ld/fd/", (long)getpid());
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/", (const char*)own}) {
        const int number = number_after(path, prefix);
        if (number >= 0) return number;
    }
    return -1;
}
