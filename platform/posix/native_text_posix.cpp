// Native text on POSIX: the bytes of names, usually UTF-8, into code page 932.
//
// Names are converted on the walk's hot path, so the conversion is a table
// lookup per character. The table is filled from iconv, one character the
// first time it is met: iconv is the reference for what code page 932 holds,
// and asking it once per character keeps its cost out of the walk. Readers on
// several threads may fill the same slot at once; they write the same value.
#include <errno.h>
#include <iconv.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "platform/native_text.h"
#include "platform/posix/codepage_posix.h"

namespace {

// One slot per character of the Basic Multilingual Plane: 0 not yet asked,
// UNMAPPABLE when code page 932 has no such character, else the code (one
// byte below 0x100, lead * 256 + trail above).
constexpr uint16_t NOT_ASKED = 0;
constexpr uint16_t UNMAPPABLE = 0xFFFF;
std::atomic<uint16_t> cp932_of[0x10000];

uint16_t ask_iconv(uint32_t code) {
    // The two characters that code page 932 could only give as "\" and "~":
    // a yen sign read as a path separator would change what a line names.
    if (code == 0xA5 || code == 0x203E) return UNMAPPABLE;
    char utf8[4];
    size_t in_length;
    if (code < 0x800) {
        utf8[0] = (char)(0xC0 | (code >> 6));
        utf8[1] = (char)(0x80 | (code & 0x3F));
        in_length = 2;
    } else {
        utf8[0] = (char)(0xE0 | (code >> 12));
        utf8[1] = (char)(0x80 | ((code >> 6) & 0x3F));
        utf8[2] = (char)(0x80 | (code & 0x3F));
        in_length = 3;
    }
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1) return UNMAPPABLE;
    char out[4];
    char* src = utf8;
    char* dst = out;
    size_t out_left = sizeof out;
    const size_t done = iconv(cd, &src, &in_length, &dst, &out_left);
    iconv_close(cd);
    const size_t written = sizeof out - out_left;
    if (done == (size_t)-1 || written == 0 || written > 2) return UNMAPPABLE;
    if (written == 1) return (unsigned char)out[0];
    return (uint16_t)((unsigned char)out[0] << 8 | (unsigned char)out[1]);
}

uint16_t cp932_code(uint32_t code) {
    if (code > 0xFFFF) return UNMAPPABLE;
    uint16_t value = cp932_of[code].load(std::memory_order_relaxed);
    if (value == NOT_ASKED) {
        value = ask_iconv(code);
        cp932_of[code].store(value, std::memory_order_relaxed);
    }
    return value;
}

// Decodes one UTF-8 character at p (left bytes remain). An invalid or cut
// sequence gives false and the number of bytes it spans, up to the first byte
// that cannot continue it.
bool decode_utf8(const unsigned char* p, size_t left, uint32_t* code, size_t* used) {
    const unsigned char lead = p[0];
    size_t length;
    uint32_t value;
    uint32_t minimum;
    if (lead < 0xC2 || lead > 0xF4) {
        *used = 1;
        return false;
    } else if (lead < 0xE0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead < 0xF0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    }
    size_t i = 1;
    for (; i < length && i < left && (p[i] & 0xC0) == 0x80; ++i) value = value << 6 | (p[i] & 0x3F);
    *used = i;
    if (i < length || value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    *code = value;
    return true;
}

// Appends bytes when they fit whole; counts them either way.
struct text_out_t {
    char* out;
    size_t size;
    size_t length;
    bool cut;
};

void put(text_out_t* t, const char* bytes, size_t n) {
    if (!t->cut && t->length + n < t->size) {
        memcpy(t->out + t->length, bytes, n);
    } else {
        if (!t->cut && t->size > 0) t->out[t->length < t->size ? t->length : t->size - 1] = '\0';
        t->cut = true;
    }
    t->length += n;
}

}  // namespace

size_t text_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind) {
    text_out_t t = {out, out_size, 0, false};
    const unsigned char* p = (const unsigned char*)native;
    const unsigned char* end = p + length;
    while (p < end) {
        // Runs of plain ASCII are the common case: copy them in one go.
        if (*p < 0x80) {
            const unsigned char* run = p;
            while (run < end && *run < 0x80 && *run >= 0x20 && *run != '\\') ++run;
            if (run > p) {
                put(&t, (const char*)p, (size_t)(run - p));
                p = run;
                continue;
            }
            const bool replaced = kind == TEXT_NAME || *p == 0;
            const char c = replaced ? '?' : (char)*p;
            put(&t, &c, 1);
            ++p;
            continue;
        }
        uint32_t code;
        size_t used;
        uint16_t value = UNMAPPABLE;
        if (decode_utf8(p, (size_t)(end - p), &code, &used)) value = cp932_code(code);
        p += used;
        if (value == UNMAPPABLE) {
            put(&t, "?", 1);
        } else if (value < 0x100) {
            const char c = (char)value;
            put(&t, &c, 1);
        } else {
            const char pair[2] = {(char)(value >> 8), (char)(value & 0xFF)};
            put(&t, pair, 2);
        }
    }
    if (!t.cut && out_size > 0) out[t.length] = '\0';
    return t.length;
}

size_t native_from_text(nchar_t* out, size_t out_size, const char* text) {
    // One byte of code page 932 becomes at most three of UTF-8 (half-width kana).
    const size_t room = strlen(text) * 3 + 1;
    char stack[1024];
    char* utf8 = room <= sizeof stack ? stack : (char*)malloc(room);
    if (!utf8) {
        if (out_size > 0) out[0] = '\0';
        return (size_t)-1;
    }
    posix_path_from_cp932(utf8, room, text);
    const size_t length = strlen(utf8);
    if (out_size > 0) {
        size_t taken = length < out_size ? length : out_size - 1;
        // Cut at a whole character.
        while (taken > 0 && taken < length && ((unsigned char)utf8[taken] & 0xC0) == 0x80) --taken;
        memcpy(out, utf8, taken);
        out[taken] = '\0';
    }
    if (utf8 != stack) free(utf8);
    return length;
}

size_t utf8_from_native(char* out, size_t out_size, const nchar_t* native, size_t length) {
    static const char REPLACEMENT[] = "\xEF\xBF\xBD";
    text_out_t t = {out, out_size, 0, false};
    const unsigned char* p = (const unsigned char*)native;
    const unsigned char* end = p + length;
    while (p < end) {
        const unsigned char* run = p;
        while (run < end && *run < 0x80) ++run;
        if (run > p) {
            put(&t, (const char*)p, (size_t)(run - p));
            p = run;
            continue;
        }
        uint32_t code;
        size_t used;
        if (decode_utf8(p, (size_t)(end - p), &code, &used)) {
            put(&t, (const char*)p, used);
        } else {
            put(&t, REPLACEMENT, 3);
        }
        p += used;
    }
    if (!t.cut && out_size > 0) out[t.length] = '\0';
    return t.length;
}
