/* The yardstick for the listing under Wine: the plainest recursive walk with
 * FindFirstFileA/FindNextFileA, which only counts what it finds. It opens
 * the same "folder\*" searches in the same order as the listing does and
 * keeps nothing.
 *
 *   bare_walk_win32 FOLDER
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#define WALK_PATH_SIZE 1024

/* path holds len bytes of the folder; the buffer is reused at every depth. */
static unsigned long walk(char* path, size_t len) {
    WIN32_FIND_DATAA found;
    HANDLE find;
    unsigned long count = 0;

    if (len + 3 > WALK_PATH_SIZE) return 0;
    memcpy(path + len, "\\*", 3);
    find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const char* name = found.cFileName;
        size_t name_len;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) continue;
        ++count;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        name_len = strlen(name);
        if (len + 1 + name_len + 3 > WALK_PATH_SIZE) continue;
        path[len] = '\\';
        memcpy(path + len + 1, name, name_len + 1);
        count += walk(path, len + 1 + name_len);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return count;
}

int main(int argc, char** argv) {
    char path[WALK_PATH_SIZE];
    size_t len;

    if (argc != 2) {
        fprintf(stderr, "usage: bare_walk_win32 FOLDER\n");
        return 1;
    }
    len = strlen(argv[1]);
    if (len + 3 > WALK_PATH_SIZE) return 1;
    memcpy(path, argv[1], len + 1);
    printf("%lu entries\n", walk(path, len));
    return 0;
}
