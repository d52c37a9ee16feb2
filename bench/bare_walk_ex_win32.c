/* The second yardstick for the listing under Wine: the plainest recursive
 * walk through the calls the listing itself makes, FindFirstFileExW with
 * basic information (no 8.3 names) and the large fetch, then FindNextFileW,
 * each name turned into code page 932 text as the listing does
 * (WideCharToMultiByte with WC_NO_BEST_FIT_CHARS). It counts the entries and
 * the bytes of their texts, and keeps nothing.
 *
 *   bare_walk_ex_win32 FOLDER
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#define WALK_PATH_UNITS 32768

static unsigned long long text_bytes;

static int is_dot_or_dot_dot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

/* path holds len units of the folder; the buffer is reused at every depth. */
static unsigned long walk(wchar_t* path, size_t len) {
    WIN32_FIND_DATAW found;
    HANDLE find;
    unsigned long count = 0;
    char text[MAX_PATH * 3];

    if (len + 3 > WALK_PATH_UNITS) return 0;
    memcpy(path + len, L"\\*", 3 * sizeof(wchar_t));
    find = FindFirstFileExW(path, FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                            FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const wchar_t* name = found.cFileName;
        size_t name_len;
        int bytes;
        if (is_dot_or_dot_dot(name)) continue;
        ++count;
        bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, name, -1, text, sizeof text, NULL, NULL);
        if (bytes > 0) text_bytes += (unsigned long long)bytes - 1;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        name_len = wcslen(name);
        if (len + 1 + name_len + 3 > WALK_PATH_UNITS) continue;
        path[len] = L'\\';
        memcpy(path + len + 1, name, (name_len + 1) * sizeof(wchar_t));
        count += walk(path, len + 1 + name_len);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

int main(int argc, char** argv) {
    static wchar_t path[WALK_PATH_UNITS];
    int len;
    unsigned long count;

    if (argc != 2) {
        fprintf(stderr, "usage: bare_walk_ex_win32 FOLDER\n");
        return 1;
    }
    len = MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, WALK_PATH_UNITS - 3);
    if (len <= 0) return 1;
    count = walk(path, (size_t)len - 1);
    printf("%lu entries (%llu bytes of text)\n", count, text_bytes);
    return 0;
}
