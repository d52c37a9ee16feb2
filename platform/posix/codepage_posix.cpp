#include "platform/posix/codepage_posix.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>

namespace {

// iconv descriptors keep conversion state, so each thread keeps its own.
struct converter {
    iconv_t cd = (iconv_t)-1;
    converter(const char* to, const char* from) { cd = iconv_open(to, from); }
    ~converter() {
        if (cd != (iconv_t)-1) iconv_close(cd);
    }
};

iconv_t to_cp932() {
    thread_local converter c("CP932", "UTF-8");
    return c.cd;
}

iconv_t from_cp932() {
    thread_local converter c("UTF-8", "CP932");
    return c.cd;
}

bool is_ascii(const char* s, size_t* length) {
    const char* p = s;
    unsigned char bits = 0;
    while (*p) bits |= (unsigned char)*p++;
    *length = (size_t)(p - s);
    return bits < 0x80;
}

bool copy_ascii(char* out, size_t out_size, const char* s, size_t length) {
    if (out_size == 0) return false;
    const bool fits = length < out_size;
    if (!fits) length = out_size - 1;
    memcpy(out, s, length);
    out[length] = '\0';
    return fits;
}

size_t utf8_sequence_length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// The two characters that code page 932 maps onto ASCII bytes.
bool is_ascii_lookalike(const char* p) {
    return (p[0] == '\xC2' && p[1] == '\xA5') ||                  // U+00A5 yen sign
           (p[0] == '\xE2' && p[1] == '\x80' && p[2] == '\xBE');  // U+203E overline
}

// Converts with iconv, replacing what cannot be converted by "?". `skip`
// tells how many input bytes one unconvertible character takes.
template <typename Skip>
bool convert(iconv_t cd, char* out, size_t out_size, const char* in, size_t in_length, Skip skip) {
    if (out_size == 0) return false;
    char* src = const_cast<char*>(in);
    size_t src_left = in_length;
    char* dst = out;
    size_t dst_left = out_size - 1;
    bool fits = true;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (src_left > 0) {
        if (iconv(cd, &src, &src_left, &dst, &dst_left) != (size_t)-1) break;
        if (errno == E2BIG) {
            fits = false;
            break;
        }
        // EILSEQ or EINVAL (a sequence cut short): one "?" for the character.
        if (dst_left == 0) {
            fits = false;
            break;
        }
        *dst++ = '?';
        --dst_left;
        size_t n = skip(src, src_left);
        src += n;
        src_left -= n;
    }
    *dst = '\0';
    return fits;
}

size_t skip_utf8(const char* p, size_t left) {
    size_t n = utf8_sequence_length((unsigned char)*p);
    for (size_t i = 1; i < n && i < left; ++i) {
        if (((unsigned char)p[i] & 0xC0) != 0x80) return i;
    }
    return n < left ? n : left;
}

size_t skip_cp932(const char*, size_t) {
    return 1;
}

}  // namespace

bool cp932_from_utf8(char* out, size_t out_size, const char* utf8) {
    size_t length;
    if (is_ascii(utf8, &length)) return copy_ascii(out, out_size, utf8, length);
    if (strstr(utf8, "\xC2\xA5") || strstr(utf8, "\xE2\x80\xBE")) {
        // Rare: convert piece by piece so the look-alikes become "?".
        char cleaned[1024];
        size_t n = 0;
        for (const char* p = utf8; *p && n + 4 < sizeof cleaned;) {
            if (is_ascii_lookalike(p)) {
                cleaned[n++] = '?';
                p += p[0] == '\xC2' ? 2 : 3;
            } else {
                cleaned[n++] = *p++;
            }
        }
        cleaned[n] = '\0';
        return cp932_from_utf8(out, out_size, cleaned);
    }
    return convert(to_cp932(), out, out_size, utf8, length, skip_utf8);
}

bool utf8_from_cp932(char* out, size_t out_size, const char* text) {
    size_t length;
    if (is_ascii(text, &length)) return copy_ascii(out, out_size, text, length);
    return convert(from_cp932(), out, out_size, text, length, skip_cp932);
}

bool posix_path_from_cp932(char* out, size_t out_size, const char* path) {
    // Code page 932 maps the one-byte "\" to U+005C, and in UTF-8 the byte
    // 0x5C stands for nothing else, so the separators can be swapped after
    // converting (the second byte of a double-byte character never survives).
    const bool fits = utf8_from_cp932(out, out_size, path);
    for (char* p = out; *p; ++p) {
        if (*p == '\\') *p = '/';
    }
    return fits;
}
