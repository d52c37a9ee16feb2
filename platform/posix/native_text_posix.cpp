// Native text on POSIX: the bytes of names, usually UTF-8, into code page 932
// and UTF-8 through the converter of text/, which both builds share.
#include <string.h>

#include "platform/native_text.h"
#include "text/unicode_convert.h"

namespace {

// What a kind replaces in POSIX text, where "/" is the only separator.
unsigned replaced_by(text_kind_t kind) {
    unsigned replaced = REPLACE_CONTROLS | REPLACE_BACKSLASH;
    if (kind & TEXT_NAME) replaced |= REPLACE_SLASH;
    if (kind & TEXT_KEEP_CONTROLS) replaced &= ~REPLACE_CONTROLS;
    if (kind & TEXT_KEEP_BACKSLASH) replaced &= ~REPLACE_BACKSLASH;
    return replaced;
}

}  // namespace

size_t text_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind) {
    return cp932_from_utf8(out, out_size, native, length, replaced_by(kind));
}

size_t native_from_text(nchar_t* out, size_t out_size, const char* text) {
    const size_t length = utf8_from_cp932(out, out_size, text, strlen(text));
    // In UTF-8 the byte 0x5C is "\" and nothing else (the second byte of a
    // double-byte character never survives), so the separators swap here.
    if (out_size > 0) {
        for (char* p = out; *p; ++p) {
            if (*p == '\\') *p = '/';
        }
    }
    return length;
}

size_t utf8_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind) {
    return utf8_from_utf8(out, out_size, native, length, replaced_by(kind));
}
