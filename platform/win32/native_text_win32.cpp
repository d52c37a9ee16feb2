// Native text on Windows: UTF-16 into code page 932 and back.
//
// The ANSI functions convert with "best fit", which turns é into e, U+00A5
// into "\" (a path separator) and U+203E into "~": names that do not exist.
// Here every character the code page lacks becomes one "?".
#include <windows.h>
// after windows.h
#include <stdlib.h>
#include <string.h>

#include "platform/native_text.h"
#include "text/mbs.h"

namespace {

constexpr UINT CP_SHIFT_JIS = 932;

bool is_high_surrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low_surrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The text made safe to convert: a character outside the plane (a surrogate
// pair, which Wine turns into two "?") or a lone surrogate is one "?"; so are
// the look-alikes, and for names the control characters.
size_t clean_copy(wchar_t* out, const wchar_t* in, size_t length, text_kind_t kind) {
    size_t n = 0;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = in[i];
        if (is_high_surrogate(c) && i + 1 < length && is_low_surrogate(in[i + 1])) {
            ++i;
            c = L'?';
        } else if (is_high_surrogate(c) || is_low_surrogate(c) || c == 0x00A5 || c == 0x203E || c == 0) {
            c = L'?';
        } else if (kind == TEXT_NAME && c < 0x20) {
            c = L'?';
        }
        out[n++] = c;
    }
    return n;
}

bool needs_cleaning(const wchar_t* in, size_t length, text_kind_t kind) {
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = in[i];
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0x00A5 || c == 0x203E || c == 0) return true;
        if (kind == TEXT_NAME && c < 0x20) return true;
    }
    return false;
}

// Copies the first bytes of text into out, cut at a whole character.
void copy_cut(char* out, size_t out_size, const char* text, size_t length) {
    if (out_size == 0) return;
    size_t taken = length < out_size ? length : out_size - 1;
    if (taken < length && mbs_byte_type(text, taken) == 2) --taken;
    memcpy(out, text, taken);
    out[taken] = '\0';
}

size_t convert(char* out, size_t out_size, const wchar_t* in, size_t length) {
    if (length == 0) {
        if (out_size > 0) out[0] = '\0';
        return 0;
    }
    BOOL used_default = FALSE;
    const int whole = WideCharToMultiByte(CP_SHIFT_JIS, WC_NO_BEST_FIT_CHARS, in, (int)length, nullptr, 0,
                                          "?", &used_default);
    if (whole <= 0) {
        if (out_size > 0) out[0] = '\0';
        return 0;
    }
    if ((size_t)whole < out_size) {
        WideCharToMultiByte(CP_SHIFT_JIS, WC_NO_BEST_FIT_CHARS, in, (int)length, out, whole, "?",
                            &used_default);
        out[whole] = '\0';
        return (size_t)whole;
    }
    char* all = (char*)malloc((size_t)whole);
    if (all) {
        WideCharToMultiByte(CP_SHIFT_JIS, WC_NO_BEST_FIT_CHARS, in, (int)length, all, whole, "?",
                            &used_default);
        copy_cut(out, out_size, all, (size_t)whole);
        free(all);
    } else if (out_size > 0) {
        out[0] = '\0';
    }
    return (size_t)whole;
}

}  // namespace

size_t text_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind) {
    if (!needs_cleaning(native, length, kind)) return convert(out, out_size, native, length);
    wchar_t stack[512];
    wchar_t* clean = length <= 512 ? stack : (wchar_t*)malloc(length * sizeof(wchar_t));
    if (!clean) {
        if (out_size > 0) out[0] = '\0';
        return 0;
    }
    const size_t clean_length = clean_copy(clean, native, length, kind);
    const size_t result = convert(out, out_size, clean, clean_length);
    if (clean != stack) free(clean);
    return result;
}

size_t native_from_text(nchar_t* out, size_t out_size, const char* text) {
    const int whole = MultiByteToWideChar(CP_SHIFT_JIS, 0, text, -1, nullptr, 0);  // with the terminator
    if (whole <= 0) {
        if (out_size > 0) out[0] = L'\0';
        return 0;
    }
    const size_t length = (size_t)whole - 1;
    if (length < out_size) {
        MultiByteToWideChar(CP_SHIFT_JIS, 0, text, -1, out, whole);
        return length;
    }
    if (out_size > 0) {
        wchar_t* all = (wchar_t*)malloc((size_t)whole * sizeof(wchar_t));
        size_t taken = 0;
        if (all) {
            MultiByteToWideChar(CP_SHIFT_JIS, 0, text, -1, all, whole);
            taken = out_size - 1;
            if (is_low_surrogate(all[taken]) && taken > 0) --taken;
            memcpy(out, all, taken * sizeof(wchar_t));
            free(all);
        }
        out[taken] = L'\0';
    }
    return length;
}

// A lone surrogate becomes U+FFFD.
size_t utf8_from_native(char* out, size_t out_size, const nchar_t* native, size_t length) {
    if (length == 0) {
        if (out_size > 0) out[0] = '\0';
        return 0;
    }
    const int whole = WideCharToMultiByte(CP_UTF8, 0, native, (int)length, nullptr, 0, nullptr, nullptr);
    if (whole <= 0) {
        if (out_size > 0) out[0] = '\0';
        return 0;
    }
    if ((size_t)whole < out_size) {
        WideCharToMultiByte(CP_UTF8, 0, native, (int)length, out, whole, nullptr, nullptr);
        out[whole] = '\0';
    } else if (out_size > 0) {
        out[0] = '\0';
    }
    return (size_t)whole;
}
