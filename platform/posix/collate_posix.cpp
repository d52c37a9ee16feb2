// Name order on POSIX: the sort keys of the names.
//
// Windows orders names by the user's locale without regard to case. Here
// the names are folded to lower case (ASCII letters only, as everywhere in
// the program) and ordered by the C library's collation of the user's
// locale, set by the program's entry. In the C locale that is the byte
// order, which needs no conversion at all.
#include <locale.h>
#include <string.h>

#include "platform/posix/calls_posix.h"
#include "text/mbs.h"
#include "text/unicode_convert.h"

namespace {

bool collation_is_bytewise() {
    const char* name = setlocale(LC_COLLATE, nullptr);
    return !name || strcmp(name, "C") == 0 || strcmp(name, "POSIX") == 0;
}

// The key of a name into dest (dest_size bytes, or 0 to ask the size): the
// number of bytes with the terminator, or 0 when it does not fit.
int sort_key(const char* name, char* dest, size_t dest_size) {
    // The collation is chosen once at start-up, before any thread runs.
    static const bool bytewise = collation_is_bytewise();
    char folded[PATH_BUFFER_SIZE];
    const size_t name_length = strlen(name);
    if (name_length >= sizeof folded) return 0;  // longer than any name
    memcpy(folded, name, name_length + 1);
    mbs_lower(folded);

    size_t length;
    if (bytewise) {
        length = strlen(folded);
        if (length < dest_size) memcpy(dest, folded, length + 1);
    } else {
        char utf8[PATH_BUFFER_SIZE * 2];
        utf8_from_cp932(utf8, sizeof utf8, folded, strlen(folded));
        length = strxfrm(dest, utf8, dest_size);
    }
    if (dest_size == 0) return (int)length + 1;
    if (length >= dest_size) {
        os_set_last_error(OS_ERROR_NAME_TOO_LONG);
        return 0;
    }
    return (int)length + 1;
}

}  // namespace

int posix_sort_key(const char* text, char* out, int out_size) {
    if (out_size < 0) {
        os_set_last_error(OS_ERROR_INVALID);
        return 0;
    }
    return sort_key(text, out, (size_t)out_size);
}
