// The code page 932 tables against the system's own conversion, for every
// character of the Basic Multilingual Plane and every code.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <stdio.h>
#include <wchar.h>

#include <string>

#include "text/cp932.h"
#include "text/unicode_convert.h"

namespace {

// Collects the first few disagreements and counts them all.
struct mismatches_t {
    int count = 0;
    std::string first;
    void add(const char* format, unsigned a, unsigned b, unsigned c) {
        if (count++ < 8) {
            char line[96];
            snprintf(line, sizeof line, format, a, b, c);
            first += line;
        }
    }
};

TEST(Cp932Table, EveryCharacterHasTheCodeWindowsWritesWithoutBestFit) {
    mismatches_t wrong;
    for (unsigned c = 0; c < 0x10000; ++c) {
        const wchar_t unit = (wchar_t)c;
        char bytes[4] = {};
        BOOL used_default = FALSE;
        const int n =
            WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes, "?", &used_default);
        ASSERT_GT(n, 0) << c;
        unsigned expected = CP932_NONE;
        if (!used_default)
            expected =
                n == 1 ? (unsigned char)bytes[0] : (unsigned char)bytes[0] << 8 | (unsigned char)bytes[1];
        const unsigned got = cp932_code_of((uint16_t)c);
        if (got != expected) wrong.add("U+%04X: table 0x%X, Windows 0x%X\n", c, got, expected);
    }
    EXPECT_EQ(wrong.count, 0) << wrong.first;
}

TEST(Cp932Table, EveryCodeDecodesAsWindowsDecodesIt) {
    mismatches_t wrong;
    for (unsigned code = 0; code < 0x10000; ++code) {
        // One byte, or two: a lead byte and its trail, or two characters.
        const char bytes[2] = {(char)(code < 0x100 ? code : code >> 8), (char)(code & 0xFF)};
        const int in_length = code < 0x100 ? 1 : 2;
        wchar_t expected[4] = {};
        const int expected_length = MultiByteToWideChar(932, 0, bytes, in_length, expected, 4);
        wchar_t got[4] = {};
        const size_t got_length = utf16_from_cp932(got, 4, bytes, (size_t)in_length);
        if ((int)got_length != expected_length || wmemcmp(got, expected, got_length) != 0) {
            wrong.add("0x%X: table U+%04X, Windows U+%04X\n", code, got[0], expected[0]);
        }
    }
    EXPECT_EQ(wrong.count, 0) << wrong.first;
}

}  // namespace
