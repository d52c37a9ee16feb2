// Name order on POSIX: the stand-in for lstrcmpiA.
//
// lstrcmpiA orders names by the user's locale without regard to case. Here
// the names are folded to lower case and compared with the C library's
// collation of the user's locale (set by the program's entry). In the C
// locale that is a plain byte comparison, which needs no conversion at all.
#include <locale.h>
#include <string.h>

#include "platform/posix/calls_posix.h"
#include "platform/posix/codepage_posix.h"
#include "text/mbs.h"

namespace {

bool collation_is_bytewise() {
    const char* name = setlocale(LC_COLLATE, nullptr);
    return !name || strcmp(name, "C") == 0 || strcmp(name, "POSIX") == 0;
}

// ASCII letters only, and never a byte of a double-byte character.
inline unsigned fold(unsigned c) { return c - 'A' < 26u ? c + ('a' - 'A') : c; }

int compare_folded_bytes(const char* a, const char* b) {
    for (;;) {
        const unsigned ca = mbs_char(a);
        const unsigned cb = mbs_char(b);
        const unsigned fa = ca < 256 ? fold(ca) : ca;
        const unsigned fb = cb < 256 ? fold(cb) : cb;
        if (fa != fb) return fa < fb ? -1 : 1;
        if (ca == 0) return 0;
        a = mbs_next(a);
        b = mbs_next(b);
    }
}

void fold_to_utf8(char* out, size_t size, const char* name) {
    char folded[PATH_BUFFER_SIZE];
    str_copy_bounded(folded, name, sizeof folded);
    mbs_lower(folded);
    utf8_from_cp932(out, size, folded);
}

}  // namespace

int WINAPI posix_lstrcmpiA(LPCSTR a, LPCSTR b) {
    // The collation is chosen once at start-up, before any thread runs.
    static const bool bytewise = collation_is_bytewise();
    if (bytewise) return compare_folded_bytes(a, b);
    char ua[PATH_BUFFER_SIZE * 2];
    char ub[PATH_BUFFER_SIZE * 2];
    fold_to_utf8(ua, sizeof ua, a);
    fold_to_utf8(ub, sizeof ub, b);
    const int order = strcoll(ua, ub);
    if (order != 0) return order < 0 ? -1 : 1;
    return compare_folded_bytes(a, b);
}
