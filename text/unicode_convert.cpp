#include "text/unicode_convert.h"

#include <stdint.h>
#include <string.h>

#include "text/byte_words.h"
#include "text/cp932.h"
#include "text/mbs.h"

namespace {

// What each byte (or ASCII unit of UTF-16) is for the plain runs: the
// REPLACE_ bits of the ASCII characters they concern, NEVER_PLAIN for NUL
// and for every byte above ASCII. A run of bytes whose class meets no bit of
// the call's stops is copied in one go.
constexpr uint8_t NEVER_PLAIN = 0x80;

struct byte_classes_t {
    uint8_t of[256];
};

constexpr byte_classes_t make_byte_classes() {
    byte_classes_t classes = {};
    for (unsigned c = 0; c < 256; ++c) {
        uint8_t bits = 0;
        if (c == 0 || c >= 0x80) bits |= NEVER_PLAIN;
        if (c < 0x20 || c == 0x7F) bits |= REPLACE_CONTROLS;
        if (c == '\\') bits |= REPLACE_BACKSLASH;
        if (c == '/') bits |= REPLACE_SLASH;
        classes.of[c] = bits;
    }
    return classes;
}
constexpr byte_classes_t BYTE_CLASSES = make_byte_classes();

inline unsigned stops_of(unsigned replaced) {
    return (replaced & (REPLACE_CONTROLS | REPLACE_BACKSLASH | REPLACE_SLASH)) | NEVER_PLAIN;
}

// Eight bytes that are plain whatever a call replaces: printable ASCII
// but the separators.
inline bool word_is_plain(uint64_t word) {
    const uint64_t not_plain = word | bytes_below(word, 0x20) | bytes_equal_to(word, 0x7F) |
                               bytes_equal_to(word, '\\') | bytes_equal_to(word, '/');
    return (not_plain & BYTE_HIGHS) == 0;
}

inline bool is_c1_control(uint32_t code) {
    return code >= 0x80 && code <= 0x9F;
}

// The output: appends whole characters while they fit, counts them always.
template <typename Unit>
struct writer_t {
    Unit* out;
    size_t size;
    size_t length = 0;
    bool cut = false;

    writer_t(Unit* out_, size_t size_) : out(out_), size(size_) {}

    void put(const Unit* units, size_t n) {
        if (!cut && length + n < size) {
            memcpy(out + length, units, n * sizeof(Unit));
        } else {
            stop();
        }
        length += n;
    }
    // A run of one-unit characters: as many as fit.
    void put_run(const Unit* units, size_t n) {
        if (!cut && length + n >= size && size > 0) {
            const size_t fit = size - 1 - length;
            memcpy(out + length, units, fit * sizeof(Unit));
            length += fit;
            stop();
            length += n - fit;
            return;
        }
        put(units, n);
    }
    void put_one(Unit unit) { put(&unit, 1); }
    void stop() {
        if (!cut && size > 0) out[length] = 0;
        cut = true;
    }
    size_t finish() {
        if (!cut && size > 0) out[length] = 0;
        return length;
    }
};

void put_cp932(writer_t<char>* w, uint16_t code) {
    if (code < 0x100) {
        w->put_one((char)code);
    } else {
        const char pair[2] = {(char)(code >> 8), (char)(code & 0xFF)};
        w->put(pair, 2);
    }
}

void put_utf8(writer_t<char>* w, uint32_t code) {
    char bytes[4];
    size_t n;
    if (code < 0x80) {
        bytes[0] = (char)code;
        n = 1;
    } else if (code < 0x800) {
        bytes[0] = (char)(0xC0 | (code >> 6));
        bytes[1] = (char)(0x80 | (code & 0x3F));
        n = 2;
    } else if (code < 0x10000) {
        bytes[0] = (char)(0xE0 | (code >> 12));
        bytes[1] = (char)(0x80 | ((code >> 6) & 0x3F));
        bytes[2] = (char)(0x80 | (code & 0x3F));
        n = 3;
    } else {
        bytes[0] = (char)(0xF0 | (code >> 18));
        bytes[1] = (char)(0x80 | ((code >> 12) & 0x3F));
        bytes[2] = (char)(0x80 | ((code >> 6) & 0x3F));
        bytes[3] = (char)(0x80 | (code & 0x3F));
        n = 4;
    }
    w->put(bytes, n);
}

constexpr uint32_t REPLACEMENT_CHAR = 0xFFFD;
constexpr uint32_t INVALID = 0xFFFFFFFF;

// Decodes the character at p, which is not ASCII, cutting invalid sequences
// as the header describes. Gives the character, or INVALID, and its bytes.
uint32_t decode_utf8(const unsigned char* p, const unsigned char* end, size_t* used) {
    const unsigned char lead = p[0];
    size_t trail_count;
    uint32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail_count = 1, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail_count = 2, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail_count = 3, value = lead & 0x07;
    } else {
        *used = 1;
        return INVALID;
    }
    const size_t left = (size_t)(end - p);
    // Wine 8 hands one U+FFFD for a lead whose length runs past the name's end, and the rest with it.
    if (trail_count >= left) {
        *used = left;
        return INVALID;
    }
    for (size_t i = 1; i <= trail_count; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *used = i;
            return INVALID;
        }
        value = value << 6 | (p[i] & 0x3F);
        if (i == 1) {
            // Wine 8 takes the second byte into the sequence before it refuses an overlong form,
            // a surrogate or a value above U+10FFFF: "\xED\xA0\x80" is two U+FFFD.
            const unsigned char second = p[1];
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
                *used = 2;
                return INVALID;
            }
        }
    }
    *used = trail_count + 1;
    return value;
}

inline bool is_high_surrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool is_low_surrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Decodes the character at p, which is not ASCII: a pair of surrogates is one
// character, a lone surrogate INVALID.
uint32_t decode_utf16(const utf16_unit_t* p, const utf16_unit_t* end, size_t* used) {
    const uint32_t unit = (uint16_t)p[0];
    *used = 1;
    if (is_high_surrogate(unit) && p + 1 < end && is_low_surrogate((uint16_t)p[1])) {
        *used = 2;
        return 0x10000 + ((unit - 0xD800) << 10) + ((uint16_t)p[1] - 0xDC00);
    }
    if (is_high_surrogate(unit) || is_low_surrogate(unit)) return INVALID;
    return unit;
}

// One character that is not ASCII into code page 932.
inline void put_char_as_cp932(writer_t<char>* w, uint32_t code, unsigned replaced) {
    uint16_t value = CP932_NONE;
    if (code < 0x10000 && !(is_c1_control(code) && (replaced & REPLACE_CONTROLS))) {
        value = cp932_code_of((uint16_t)code);
    }
    if (value == CP932_NONE) {
        w->put_one('?');
    } else {
        put_cp932(w, value);
    }
}

// One ASCII unit that is not plain: "?" when replaced, else itself.
template <typename Unit>
inline void put_ascii(writer_t<char>* w, Unit unit, unsigned stops) {
    const bool replaced = (BYTE_CLASSES.of[unit] & stops & ~NEVER_PLAIN) != 0 || unit == 0;
    w->put_one(replaced ? '?' : (char)unit);
}

// The ASCII units at *p, as put_ascii would put them one by one, plain runs
// in one go; false when *p is not ASCII.
bool put_ascii_run(writer_t<char>* w, const utf16_unit_t** at, const utf16_unit_t* end, unsigned stops) {
    const utf16_unit_t* p = *at;
    if ((uint16_t)*p >= 0x80) return false;
    char run[64];
    size_t n = 0;
    while (p < end && n < sizeof run && (uint16_t)*p < 0x80 && (BYTE_CLASSES.of[*p] & stops) == 0) {
        run[n++] = (char)*p++;
    }
    if (n > 0) {
        w->put_run(run, n);
    } else {
        put_ascii(w, (uint16_t)*p++, stops);
    }
    *at = p;
    return true;
}

}  // namespace

size_t cp932_from_utf8(char* out, size_t out_size, const char* utf8, size_t length, unsigned replaced) {
    writer_t<char> w(out, out_size);
    const unsigned stops = stops_of(replaced);
    const unsigned char* p = (const unsigned char*)utf8;
    const unsigned char* end = p + length;
    while (p < end) {
        // Runs of plain ASCII are the common case: copy them in one go.
        const unsigned char* run = p;
        while (end - run >= 8 && word_is_plain(load_word(run))) run += 8;
        while (run < end && (BYTE_CLASSES.of[*run] & stops) == 0) ++run;
        if (run > p) {
            w.put_run((const char*)p, (size_t)(run - p));
            p = run;
            if (p == end) break;
        }
        if (*p < 0x80) {
            put_ascii(&w, *p++, stops);
            continue;
        }
        size_t used;
        const uint32_t code = decode_utf8(p, end, &used);
        p += used;
        if (code == INVALID) {
            w.put_one('?');
        } else {
            put_char_as_cp932(&w, code, replaced);
        }
    }
    return w.finish();
}

size_t cp932_from_utf16(char* out, size_t out_size, const utf16_unit_t* utf16, size_t length,
                        unsigned replaced) {
    writer_t<char> w(out, out_size);
    const unsigned stops = stops_of(replaced);
    const utf16_unit_t* p = utf16;
    const utf16_unit_t* end = p + length;
    while (p < end) {
        if (put_ascii_run(&w, &p, end, stops)) continue;
        size_t used;
        const uint32_t code = decode_utf16(p, end, &used);
        p += used;
        if (code == INVALID) {
            w.put_one('?');
        } else {
            put_char_as_cp932(&w, code, replaced);
        }
    }
    return w.finish();
}

size_t utf8_from_utf8(char* out, size_t out_size, const char* utf8, size_t length, unsigned replaced) {
    writer_t<char> w(out, out_size);
    const unsigned stops = stops_of(replaced);
    const unsigned char* p = (const unsigned char*)utf8;
    const unsigned char* end = p + length;
    while (p < end) {
        const unsigned char* run = p;
        while (run < end && (BYTE_CLASSES.of[*run] & stops) == 0) ++run;
        if (run > p) {
            w.put_run((const char*)p, (size_t)(run - p));
            p = run;
            if (p == end) break;
        }
        if (*p < 0x80) {
            put_ascii(&w, *p++, stops);
            continue;
        }
        size_t used;
        const uint32_t code = decode_utf8(p, end, &used);
        if (code == INVALID) {
            put_utf8(&w, REPLACEMENT_CHAR);
        } else if (is_c1_control(code) && (replaced & REPLACE_CONTROLS)) {
            w.put_one('?');
        } else {
            w.put((const char*)p, used);
        }
        p += used;
    }
    return w.finish();
}

size_t utf8_from_utf16(char* out, size_t out_size, const utf16_unit_t* utf16, size_t length,
                       unsigned replaced) {
    writer_t<char> w(out, out_size);
    const unsigned stops = stops_of(replaced);
    const utf16_unit_t* p = utf16;
    const utf16_unit_t* end = p + length;
    while (p < end) {
        if (put_ascii_run(&w, &p, end, stops)) continue;
        size_t used;
        const uint32_t code = decode_utf16(p, end, &used);
        p += used;
        if (code == INVALID) {
            put_utf8(&w, REPLACEMENT_CHAR);
        } else if (is_c1_control(code) && (replaced & REPLACE_CONTROLS)) {
            w.put_one('?');
        } else {
            put_utf8(&w, code);
        }
    }
    return w.finish();
}

namespace {

// The character at p of code page 932 text, and its bytes.
uint32_t decode_cp932(const unsigned char* p, const unsigned char* end, size_t* used) {
    if (!mbs_is_lead_byte(p[0])) {
        *used = 1;
        return cp932_char_of_byte(p[0]);
    }
    // Wine 8's MultiByteToWideChar: a lead byte before a NUL or the end is U+30FB alone.
    if (p + 1 == end || p[1] == 0) {
        *used = 1;
        return CP932_UNKNOWN_CHAR;
    }
    *used = 2;
    const uint16_t code = cp932_char_of_pair(p[0], p[1]);
    return code == CP932_NONE ? CP932_UNKNOWN_CHAR : code;
}

}  // namespace

size_t utf8_from_cp932(char* out, size_t out_size, const char* text, size_t length) {
    writer_t<char> w(out, out_size);
    const unsigned char* p = (const unsigned char*)text;
    const unsigned char* end = p + length;
    while (p < end) {
        const unsigned char* run = p;
        while (run < end && *run < 0x80) ++run;
        if (run > p) {
            w.put_run((const char*)p, (size_t)(run - p));
            p = run;
            continue;
        }
        size_t used;
        put_utf8(&w, decode_cp932(p, end, &used));
        p += used;
    }
    return w.finish();
}

size_t utf16_from_cp932(utf16_unit_t* out, size_t out_size, const char* text, size_t length) {
    writer_t<utf16_unit_t> w(out, out_size);
    const unsigned char* p = (const unsigned char*)text;
    const unsigned char* end = p + length;
    while (p < end) {
        size_t used = 1;
        const uint32_t code = *p < 0x80 ? *p : decode_cp932(p, end, &used);
        w.put_one((utf16_unit_t)code);
        p += used;
    }
    return w.finish();
}
