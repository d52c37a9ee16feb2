// Native text on Windows: UTF-16 into code page 932 and back through the
// converter of text/, which both builds share.
//
// The ANSI functions convert with "best fit", which turns é into e, U+00A5
// into "\" (a path separator) and U+203E into "~": names that do not exist.
// WideCharToMultiByte without best fit turns a surrogate pair into two "?".
// The converter gives one "?" for each character the code page lacks.
#include <string.h>

#include "platform/native_text.h"
#include "text/unicode_convert.h"

namespace {

// What a kind replaces in Windows text, where "\" and "/" both separate.
unsigned replaced_by(text_kind_t kind) {
    unsigned replaced = REPLACE_CONTROLS;
    if (kind & TEXT_NAME) replaced |= REPLACE_BACKSLASH | REPLACE_SLASH;
    if (kind & TEXT_KEEP_CONTROLS) replaced &= ~REPLACE_CONTROLS;
    if (kind & TEXT_KEEP_BACKSLASH) replaced &= ~REPLACE_BACKSLASH;
    return replaced;
}

}  // namespace

size_t text_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind) {
    return cp932_from_utf16(out, out_size, native, length, replaced_by(kind));
}

size_t native_from_text(nchar_t* out, size_t out_size, const char* text) {
    return utf16_from_cp932(out, out_size, text, strlen(text));
}

size_t utf8_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind) {
    return utf8_from_utf16(out, out_size, native, length, replaced_by(kind));
}
