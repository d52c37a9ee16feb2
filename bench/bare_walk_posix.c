// The floor of a native listing: a recursive readdir walk that opens each
// folder once (openat, fdopendir), descends by d_type and counts the
// entries; no names kept, sorted, converted or written.
//   bare_walk_posix FOLDER
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static long long entries;

static void walk(int folder) {
    DIR* stream = fdopendir(folder);
    if (!stream) {
        close(folder);
        return;
    }
    const struct dirent* entry;
    while ((entry = readdir(stream)) != NULL) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        ++entries;
        if (entry->d_type != DT_DIR) continue;
        const int child = openat(dirfd(stream), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) walk(child);
    }
    closedir(stream);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: bare_walk_posix FOLDER\n");
        return 2;
    }
    const int top = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (top < 0) {
        perror(argv[1]);
        return 1;
    }
    walk(top);
    printf("%lld\n", entries);
    return 0;
}
