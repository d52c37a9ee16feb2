// Name order on POSIX: the stand-ins for lstrcmpiA and for the sort keys of
// LCMapStringA.
//
// Windows orders names by the user's locale without regard to case. Here
// the names are folded to lower case (ASCII letters only, as everywhere in
// the program) and ordered by the C library's collation of the user's
// locale, set by the program's entry. In the C locale that is the byte
// order, which needs no conversion at all. Comparing two names is comparing
// their sort keys, so sorting by keys and sorting with lstrcmpiA agree.
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
int sort_key(const char* name, bool ignore_case, char* dest, size_t dest_size) {
    // The collation is chosen once at start-up, before any thread runs.
    static const bool bytewise = collation_is_bytewise();
    char folded[PATH_BUFFER_SIZE];
    const size_t name_length = strlen(name);
    if (name_length >= sizeof folded) return 0;  // longer than any name
    memcpy(folded, name, name_length + 1);
    if (ignore_case) mbs_lower(folded);

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
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return (int)length + 1;
}

}  // namespace

// Only what the program asks for: sort keys of whole, terminated names.
int WINAPI posix_LCMapStringA(LCID, DWORD flags, LPCSTR source, int source_length, LPSTR dest,
                              int dest_size) {
    if (!(flags & LCMAP_SORTKEY) || source_length != -1 || dest_size < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return sort_key(source, (flags & NORM_IGNORECASE) != 0, dest, (size_t)dest_size);
}

int WINAPI posix_lstrcmpiA(LPCSTR a, LPCSTR b) {
    char ka[PATH_BUFFER_SIZE * 8];
    char kb[PATH_BUFFER_SIZE * 8];
    if (!sort_key(a, true, ka, sizeof ka) || !sort_key(b, true, kb, sizeof kb)) return strcmp(a, b);
    const int order = strcmp(ka, kb);
    return (order > 0) - (order < 0);
}
