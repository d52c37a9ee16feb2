// Fuzzes the name converters: the input's first byte chooses what is
// replaced and where the output is cut, the rest is the bytes of a name.
//
// The code page text must be whole characters, cut only between them; the
// UTF-8 text must be valid UTF-8 with the same characters, so that it gives
// the same code page text again; the UTF-16 converters of the Windows build
// must agree with the UTF-8 ones of the POSIX build; and the code page text
// must come back unchanged through Unicode.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "text/mbs.h"
#include "text/unicode_convert.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "unicode_convert_fuzz: %s\n", what);
        abort();
    }
}

std::string to_cp932(const std::string& utf8, unsigned replaced) {
    std::string out(utf8.size() + 1, '\0');
    const size_t length = cp932_from_utf8(&out[0], out.size(), utf8.data(), utf8.size(), replaced);
    check(length < out.size(), "code page text longer than its UTF-8");
    check(strlen(out.c_str()) == length, "code page text holds a NUL");
    out.resize(length);
    return out;
}

std::string to_utf8(const std::string& utf8, unsigned replaced) {
    std::string out(utf8.size() * 3 + 1, '\0');
    const size_t length = utf8_from_utf8(&out[0], out.size(), utf8.data(), utf8.size(), replaced);
    check(length < out.size(), "UTF-8 text longer than three bytes a byte");
    out.resize(length);
    return out;
}

// Strict UTF-8: no overlong form, no surrogate, nothing above U+10FFFF.
bool is_valid_utf8(const std::string& s, std::u16string* utf16) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char lead = (unsigned char)s[i];
        size_t n = lead < 0x80                    ? 1
                   : lead >= 0xC2 && lead <= 0xDF ? 2
                   : lead >= 0xE0 && lead <= 0xEF ? 3
                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                  : 0;
        if (n == 0 || i + n > s.size()) return false;
        uint32_t code = n == 1 ? lead : lead & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const unsigned char c = (unsigned char)s[i + k];
            if ((c & 0xC0) != 0x80) return false;
            code = code << 6 | (c & 0x3F);
        }
        const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < minimum[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (code >= 0x10000) {
            utf16->push_back((char16_t)(0xD800 + ((code - 0x10000) >> 10)));
            utf16->push_back((char16_t)(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            utf16->push_back((char16_t)code);
        }
        i += n;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned replaced = data[0] & (REPLACE_CONTROLS | REPLACE_BACKSLASH | REPLACE_SLASH);
    const std::string name((const char*)data + 1, size - 1);

    const std::string cp932 = to_cp932(name, replaced);
    for (size_t i = 0; i < cp932.size(); i = (size_t)(mbs_next(cp932.c_str() + i) - cp932.c_str())) {
        const unsigned char b = (unsigned char)cp932[i];
        if (mbs_is_lead_byte(b))
            check(i + 1 < cp932.size() && mbs_is_trail_byte((unsigned char)cp932[i + 1]),
                  "lead byte without trail");
        if (replaced & REPLACE_CONTROLS) check(b >= 0x20 && b != 0x7F && b != 0x80, "a control byte stays");
        if (replaced & REPLACE_BACKSLASH) check(b != '\\', "a backslash stays");
    }

    // Cut: a prefix of the whole text, at a whole character, as long as fits.
    const size_t cut_size = (data[0] >> 3) % (cp932.size() + 2);
    std::string cut(cut_size + 1, '#');
    check(cp932_from_utf8(cut_size ? &cut[0] : nullptr, cut_size, name.data(), name.size(), replaced) ==
              cp932.size(),
          "a cut call tells another length");
    if (cut_size > 0) {
        const size_t got = strlen(cut.c_str());
        check(got < cut_size && cp932.compare(0, got, cut.c_str()) == 0, "cut text is no prefix");
        check(got == cp932.size() || mbs_byte_type(cp932.c_str(), got) != 2, "cut inside a character");
        check(got + 2 >= cut_size || got == cp932.size(), "cut shorter than what fits");
    }

    const std::string utf8 = to_utf8(name, replaced);
    std::u16string utf16;
    check(is_valid_utf8(utf8, &utf16), "UTF-8 text is not UTF-8");
    check(to_cp932(utf8, replaced) == cp932, "UTF-8 text gives other code page text");

    std::string out(utf16.size() * 3 + 1, '\0');
    out.resize(cp932_from_utf16(&out[0], out.size(), utf16.data(), utf16.size(), replaced));
    check(out == cp932, "UTF-16 gives other code page text");
    out.assign(utf16.size() * 3 + 1, '\0');
    out.resize(utf8_from_utf16(&out[0], out.size(), utf16.data(), utf16.size(), replaced));
    check(out == utf8, "UTF-16 gives other UTF-8 text");

    // Back through Unicode: every code the converter writes decodes to a
    // character that encodes to it again.
    std::string back(cp932.size() * 3 + 1, '\0');
    back.resize(utf8_from_cp932(&back[0], back.size(), cp932.data(), cp932.size()));
    check(to_cp932(back, 0) == cp932, "code page text does not come back");
    std::u16string back16(cp932.size() + 1, u'\0');
    back16.resize(utf16_from_cp932(&back16[0], back16.size(), cp932.data(), cp932.size()));
    std::u16string expected16;
    check(is_valid_utf8(back, &expected16) && back16 == expected16, "code page text gives other UTF-16");
    return 0;
}
