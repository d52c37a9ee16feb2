#include "platform/win32/long_path_win32.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

// The classic calls take at most MAX_PATH - 1 units; a folder search adds "\*".
constexpr size_t CLASSIC_PATH_MAX = MAX_PATH - 3;
// The longest path of the "\\?\" form, in UTF-16 units.
constexpr size_t LONG_PATH_MAX = 32767;

wchar_t* copy_of(const wchar_t* text) {
    const size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
    wchar_t* copy = (wchar_t*)malloc(size);
    if (copy) memcpy(copy, text, size);
    return copy;
}

bool has_prefix(const wchar_t* text, const wchar_t* prefix) {
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

}  // namespace

wchar_t* win32_long_path(const wchar_t* path) {
    if (wcslen(path) <= CLASSIC_PATH_MAX || has_prefix(path, L"\\\\?\\")) return copy_of(path);

    // The "\\?\" form is taken literally: it must be absolute, with "\"
    // separators and without "." or ".." components, as GetFullPathNameW makes it.
    const DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (size == 0) return nullptr;
    wchar_t* full = (wchar_t*)malloc((size_t)size * sizeof(wchar_t));
    if (!full) return nullptr;
    const DWORD length = GetFullPathNameW(path, size, full, nullptr);
    if (length == 0 || length >= size) {
        free(full);
        return nullptr;
    }
    const bool unc = has_prefix(full, L"\\\\");
    const wchar_t* prefix = unc ? L"\\\\?\\UNC\\" : L"\\\\?\\";
    const wchar_t* rest = unc ? full + 2 : full;
    const size_t prefix_length = wcslen(prefix);
    const size_t rest_length = wcslen(rest);
    // Longer than any wide call takes: Wine then answers for a shorter path
    // (a 32,767-unit relative name was reported as an existing folder).
    if (prefix_length + rest_length > LONG_PATH_MAX) {
        free(full);
        return nullptr;
    }
    wchar_t* result = (wchar_t*)malloc((prefix_length + rest_length + 1) * sizeof(wchar_t));
    if (result) {
        memcpy(result, prefix, prefix_length * sizeof(wchar_t));
        memcpy(result + prefix_length, rest, (rest_length + 1) * sizeof(wchar_t));
    }
    free(full);
    return result;
}
