#include "app/auto_output_name.h"

#include <stdlib.h>
#include <string.h>

#include "app/file_tests.h"
#include "app/platform_rules.h"
#include "platform/platform.h"

namespace {

bool is_native_sep(nchar_t c) {
    // Windows takes both; on Linux only "/" separates.
    return c == NTEXT('/') || (!ABSOLUTE_PATHS_BEGIN_WITH_SLASH && c == NTEXT('\\'));
}

// True when the folder, its trailing separators dropped (length units
// left), is a root that has no name of its own.
bool is_root(const nchar_t* folder, size_t length) {
    if (length == 0) return true;  // "/", "\" or "\\"
    if (ABSOLUTE_PATHS_BEGIN_WITH_SLASH) return false;
    if (length == 2 && folder[1] == NTEXT(':')) return true;  // "C:" or "C:\"
    // "\\server\share": a network share's root.
    if (length > 2 && is_native_sep(folder[0]) && is_native_sep(folder[1])) {
        size_t separators = 0;
        for (size_t i = 2; i < length; ++i) {
            if (is_native_sep(folder[i])) ++separators;
        }
        return separators <= 1;
    }
    return false;
}

size_t append(nchar_t* out, size_t at, const char* ascii) {
    for (; *ascii; ++ascii) out[at++] = (nchar_t)*ascii;
    out[at] = 0;
    return at;
}

// True when the folder's last part, its trailing separators dropped, is "."
// or "..": such a folder's name is the name of what it leads to.
bool ends_in_dots(const nchar_t* folder, size_t length) {
    size_t start = length;
    while (start > 0 && !is_native_sep(folder[start - 1])) --start;
    const size_t part = length - start;
    return (part == 1 && folder[start] == NTEXT('.')) ||
           (part == 2 && folder[start] == NTEXT('.') && folder[start + 1] == NTEXT('.'));
}

// The first free name of the series for the folder's first `length` units.
auto_name_result_t find_name(user_path_t* out, const nchar_t* folder, size_t length) {
    if (is_root(folder, length)) return AUTO_NAME_ROOT;
    const size_t longest_suffix = sizeof "(9).txt" - 1;
    if (length + longest_suffix > USER_PATH_MAX) return AUTO_NAME_TOO_LONG;
    nchar_t* candidate = (nchar_t*)malloc((length + longest_suffix + 1) * sizeof(nchar_t));
    if (!candidate) return AUTO_NAME_TOO_LONG;
    memcpy(candidate, folder, length * sizeof(nchar_t));

    auto_name_result_t result = AUTO_NAME_TAKEN;
    // -1 stands for the plain "<folder>.txt", tried first.
    for (int i = -1; i <= 9; ++i) {
        size_t end = length;
        if (i >= 0) {
            const char number[] = {'(', (char)('0' + i), ')', '\0'};
            end = append(candidate, end, number);
        }
        append(candidate, end, ".txt");
        if (path_exists(candidate)) continue;
        result = user_path_set(out, candidate) ? AUTO_NAMED : AUTO_NAME_TOO_LONG;
        break;
    }
    free(candidate);
    return result;
}

size_t without_trailing_separators(const nchar_t* folder) {
    size_t length = native_length(folder);
    while (length > 0 && is_native_sep(folder[length - 1])) --length;
    return length;
}

}  // namespace

auto_name_result_t find_auto_output_name(user_path_t* out, const nchar_t* folder) {
    const size_t length = without_trailing_separators(folder);
    if (!ends_in_dots(folder, length)) return find_name(out, folder, length);
    // "/auto ." names the list after the folder itself, and puts it beside it.
    nchar_t* absolute = os.absolute_path(folder);
    if (!absolute) return AUTO_NAME_TOO_LONG;
    const auto_name_result_t result = find_name(out, absolute, without_trailing_separators(absolute));
    free(absolute);
    return result;
}
