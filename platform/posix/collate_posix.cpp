// Name order on POSIX: the sort keys of the names.
//
// Windows orders names by the user's locale without regard to case. Here
// the names are folded to lower case (ASCII letters only, as everywhere in
// the program) and ordered by the C library's collation of the user's
// locale, set by the program's entry. In the C locale that is the byte
// order, which needs no conversion at all; in a locale without rules
// (C.UTF-8) the order of code points, which the UTF-8 bytes have.
#include <langinfo.h>
#include <locale.h>
#include <stdint.h>
#include <string.h>

#include "platform/posix/calls_posix.h"
#include "text/mbs.h"
#include "text/unicode_convert.h"

namespace {

// How the user's locale orders text, found once at start-up (the program's
// entry sets the locale before any thread runs).
enum collation_t {
    COLLATE_BYTES,  // C, POSIX: the bytes of the code page 932 text
    COLLATE_UTF8,   // a locale without rules (C.UTF-8): code points, the bytes of the UTF-8
    COLLATE_RULES,  // any other: strxfrm of the UTF-8
};

collation_t collation() {
    const char* name = setlocale(LC_COLLATE, nullptr);
    if (!name || strcmp(name, "C") == 0 || strcmp(name, "POSIX") == 0) return COLLATE_BYTES;
    // With no rules, strxfrm copies its input: the key is the UTF-8 itself.
    // The count is a word in the slot of a string, as the C library keeps
    // it: the rest of the pointer is not set.
    union {
        const char* string;
        unsigned int word;
    } rules;
    rules.string = nl_langinfo(_NL_COLLATE_NRULES);
    return rules.word == 0 ? COLLATE_UTF8 : COLLATE_RULES;
}

// The name with A to Z folded to a to z, into folded; its length. ASCII
// names, the most, fold in one pass; true in *ascii for them.
size_t fold(const char* name, char* folded, size_t size, bool* ascii) {
    size_t i = 0;
    for (; name[i]; ++i) {
        const unsigned char c = (unsigned char)name[i];
        if (c >= 0x80 || i + 1 >= size) break;
        folded[i] = (char)(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    *ascii = name[i] == '\0';
    if (*ascii) {
        folded[i] = '\0';
        return i;
    }
    // A double-byte character: whole characters from here on.
    const size_t length = i + strlen(name + i);
    if (length >= size) return size;
    memcpy(folded + i, name + i, length - i + 1);
    mbs_lower(folded + i);
    return length;
}

// The key of a name into dest (dest_size bytes, or 0 to ask the size): the
// number of bytes with the terminator, or 0 when it does not fit.
int sort_key(const char* name, char* dest, size_t dest_size) {
    static const collation_t order = collation();
    char folded[PATH_BUFFER_SIZE];
    bool ascii;
    const size_t folded_length = fold(name, folded, sizeof folded, &ascii);
    if (folded_length >= sizeof folded) return 0;  // longer than any name

    size_t length;
    if (order == COLLATE_BYTES || (ascii && order == COLLATE_UTF8)) {
        // ASCII is its own UTF-8.
        length = folded_length;
        if (length < dest_size) memcpy(dest, folded, length + 1);
    } else {
        char utf8[PATH_BUFFER_SIZE * 2];
        const char* text = folded;
        if (!ascii) {
            utf8_from_cp932(utf8, sizeof utf8, folded, folded_length);
            text = utf8;
        }
        if (order == COLLATE_UTF8) {
            length = strlen(text);
            if (length < dest_size) memcpy(dest, text, length + 1);
        } else {
            length = strxfrm(dest, text, dest_size);
        }
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

// In the C locale and in one without rules an ASCII name's key is the name
// folded (ASCII is its own UTF-8).
bool posix_sort_key_folds_ascii() {
    static const bool folds = collation() != COLLATE_RULES;
    return folds;
}
