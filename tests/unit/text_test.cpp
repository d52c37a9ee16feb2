// Character stepping, searches, comparisons, bounded copies, formatting and
// case mapping on Shift-JIS byte strings.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "text/mbs.h"

namespace {

// 表: its second byte is the code of the backslash.
const char HYO[] = "\x95\x5C";

int format_into(char* d, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = str_vformat(d, format, args);
    va_end(args);
    return result;
}

TEST(MbsStepping, DoubleByteCharacterIsOneCodeAndOneStep) {
    const char s[] = "\x83\x41";  // second byte is the code of 'A'
    EXPECT_EQ(mbs_char(s), 0x8341u);
    EXPECT_EQ(mbs_next(s), s + 2);
}

TEST(MbsStepping, LeadByteBeforeTerminatorIsOneByteCharacter) {
    const char s[] = "a\x95";
    EXPECT_EQ(mbs_char(s + 1), 0x95u);
    EXPECT_EQ(mbs_next(s + 1), s + 2);
    EXPECT_EQ(*mbs_next(s + 1), '\0');
}

TEST(MbsStepping, NextAtTerminatorStaysPut) {
    const char s[2] = "";  // sized 2: GCC 12 warns of a read past a 1-byte array it never makes
    EXPECT_EQ(mbs_next(s), s);
    EXPECT_EQ(mbs_char(s), 0u);
}

TEST(MbsByteType, ClassifiesLeadAndSecondBytes) {
    const char s[] =
        "a\x95\x5C"
        "b";
    EXPECT_EQ(mbs_byte_type(s, 0), 0);
    EXPECT_EQ(mbs_byte_type(s, 1), 1);
    EXPECT_EQ(mbs_byte_type(s, 2), 2);
    EXPECT_EQ(mbs_byte_type(s, 3), 0);
}

TEST(MbsByteType, LeadFollowedByNonTrailByteLeavesThatByteSingle) {
    // 0x20 is outside the trail range; the following lead starts afresh.
    const char s[] = "\x81 \x95\x5C";
    EXPECT_EQ(mbs_byte_type(s, 1), 0);
    EXPECT_EQ(mbs_byte_type(s, 2), 1);
    EXPECT_EQ(mbs_byte_type(s, 3), 2);
}

TEST(MbsByteType, RunOfLeadBytesAlternates) {
    // Every lead byte is also in the trail range, so leads pair up.
    const char s[] = "\x95\x95\x95\x5C";
    EXPECT_EQ(mbs_byte_type(s, 1), 2);
    EXPECT_EQ(mbs_byte_type(s, 2), 1);
    EXPECT_EQ(mbs_byte_type(s, 3), 2);
}

TEST(MbsByteType, AtOrPastTerminatorIsZero) {
    const char s[] = "\x95\0\x5C";
    EXPECT_EQ(mbs_byte_type(s, 1), 0);
    EXPECT_EQ(mbs_byte_type(s, 2), 0);
}

// The classification as a walk from the first byte: 0 one-byte, 1 lead,
// 2 second byte; a lead before a byte outside the trail range leaves that
// byte a one-byte character.
int walked_byte_type(const std::string& s, size_t i) {
    int state = 0;
    for (size_t k = 0; k <= i; ++k) {
        if (k >= s.size()) return 0;
        const unsigned char b = (unsigned char)s[k];
        if (state == 1) {
            state = (b >= 0x40 && b <= 0xFC && b != 0x7F) ? 2 : 0;
        } else {
            state = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 1 : 0;
        }
    }
    return state;
}

TEST(MbsByteType, MatchesWalkFromFirstByteOnEveryShortString) {
    // Lead bytes of both ranges, second bytes in and out of the trail range.
    const std::string alphabet = "a\\\x95\xE0 \x7F\xFD";
    std::vector<size_t> digits;
    for (size_t length = 0; length <= 6; ++length) {
        digits.assign(length, 0);
        for (;;) {
            std::string s;
            for (size_t d : digits) s += alphabet[d];
            for (size_t i = 0; i <= length; ++i) {
                ASSERT_EQ(mbs_byte_type(s.c_str(), i), walked_byte_type(s, i))
                    << "at index " << i << " of a string of " << length << " bytes";
            }
            size_t k = 0;
            while (k < length && ++digits[k] == alphabet.size()) digits[k++] = 0;
            if (k == length) break;
        }
    }
}

TEST(MbsSearch, ChrFindsWholeCharactersOnly) {
    const std::string s = std::string("a") + HYO + "\\b";
    EXPECT_EQ(mbs_chr(s.c_str(), '\\'), s.c_str() + 3) << "the 0x5C of the double-byte character matched";
    EXPECT_EQ(mbs_chr(s.c_str(), 0x955Cu), s.c_str() + 1);
    EXPECT_EQ(mbs_chr(s.c_str(), 'z'), nullptr);
}

TEST(MbsSearch, ChrOfZeroFindsTerminator) {
    const char s[] = "abc";
    EXPECT_EQ(mbs_chr(s, 0), s + 3);
    const char empty[] = "";
    EXPECT_EQ(mbs_chr(empty, 0), empty);
}

TEST(MbsSearch, SpanFunctionsStopAtDoubleByteCharacters) {
    const std::string s = std::string("ab") + HYO + "\\c";
    EXPECT_EQ(mbs_cspn(s.c_str(), "\\"), 4u);
    EXPECT_EQ(mbs_cspn("abc", "x"), 3u);
    EXPECT_EQ(mbs_spn("\\\\x", "\\"), 2u);
    EXPECT_EQ(mbs_spn(HYO, "\\\x95"), 0u) << "a double-byte character is never a member";
    EXPECT_EQ(mbs_spn("  \t a", " \t"), 4u);
}

TEST(MbsSearch, LeadByteBeforeTerminatorIsTestedAsOneByte) {
    // The stray lead byte is a one-byte character whose code is 0x95.
    EXPECT_EQ(mbs_cspn("ab\x95", "\x95"), 2u);
    EXPECT_EQ(mbs_spn("\x95", "\x95"), 1u);
}

TEST(MbsSearch, SkipBlanks) {
    const char s[] = " \t \tx y";
    EXPECT_EQ(mbs_skip_blanks(s), s + 4);
    EXPECT_EQ(mbs_skip_blanks("x"), std::string("x"));
}

TEST(MbsSearch, FindDelim) {
    const char semicolon[] = "*.txt;*.log";
    const char space[] = "*.txt *.log";
    EXPECT_EQ(mbs_find_delim(semicolon), semicolon + 5);
    EXPECT_EQ(mbs_find_delim(space), space + 5);
    EXPECT_EQ(mbs_find_delim(""), nullptr);
    EXPECT_EQ(mbs_find_delim("*.txt"), nullptr);
    // 0x81 0x3B: a lead byte followed by ';' is one character, no delimiter.
    EXPECT_EQ(mbs_find_delim("a\x81;"), nullptr);
}

TEST(MbsCompare, EqualAndIequal) {
    EXPECT_TRUE(str_equal("abc", "abc"));
    EXPECT_FALSE(str_equal("abc", "abC"));
    EXPECT_FALSE(str_equal("abc", "ab"));
    EXPECT_TRUE(str_iequal("/NoUI", "/noui"));
    EXPECT_FALSE(str_iequal("/noui", "/noui "));
    EXPECT_FALSE(str_iequal("[", "{")) << "only A-Z fold";
}

TEST(MbsCompare, NequalWithinCount) {
    EXPECT_TRUE(mbs_nequal("abc", "xyz", 0));
    EXPECT_TRUE(mbs_nequal("abc", "abx", 2));
    EXPECT_FALSE(mbs_nequal("abc", "abx", 3));
    EXPECT_TRUE(mbs_nequal(".", ".", 1));
    EXPECT_TRUE(mbs_nequal(".", ".x", 1));
    EXPECT_FALSE(mbs_nequal(".", "..", 2)) << "the terminator takes part";
    EXPECT_FALSE(mbs_nequal("..", ".a", 2));
    EXPECT_TRUE(mbs_nequal("ab", "ab", 10));
    // A character starting before byte n is compared whole.
    EXPECT_FALSE(mbs_nequal("a\x95\x5C", "a\x95\x5D", 2));
}

TEST(MbsCompare, HasPrefix) {
    EXPECT_TRUE(mbs_has_prefix("C:\\data", "C:\\"));
    EXPECT_TRUE(mbs_has_prefix("abc", ""));
    EXPECT_FALSE(mbs_has_prefix("ab", "abc"));
    EXPECT_FALSE(mbs_has_prefix("\x95\x5C", "\x95")) << "half a character is no prefix";
}

TEST(MbsCopy, MemZeroClearsAndReturnsEnd) {
    char block[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(mem_zero(block + 1, 6), block + 7);
    EXPECT_EQ(block[0], 1);
    for (int i = 1; i < 7; ++i) EXPECT_EQ(block[i], 0) << "at " << i;
    EXPECT_EQ(block[7], 8);
}

TEST(MbsCopy, BoundedCopyNeverSplitsACharacter) {
    const char s[] = "ab\x95\x5C";
    char d[8];
    memset(d, 'x', sizeof d);
    str_copy_bounded(d, s, 4);
    EXPECT_EQ(std::string(d), "ab") << "a cut after three bytes would split the character";
    EXPECT_EQ(d[2], '\0');
    EXPECT_EQ(d[3], 'x') << "bytes past the terminator's index are left alone";

    memset(d, 'x', sizeof d);
    str_copy_bounded(d, s, 5);
    EXPECT_EQ(std::string(d), s);
}

TEST(MbsCopy, BoundedCopyZeroFillsUpToTerminatorIndex) {
    char d[6];
    memset(d, 'x', sizeof d);
    str_copy_bounded(d, "ab", 6);
    EXPECT_EQ(std::string(d, 6), std::string("ab\0\0\0\0", 6));

    memset(d, 'x', sizeof d);
    str_copy_bounded(d, "abcdefgh", 6);
    EXPECT_EQ(std::string(d), "abcde");

    str_copy_bounded(d, "abc", 1);
    EXPECT_EQ(d[0], '\0');
}

TEST(MbsCopy, SpanCopyIsByteExactAndCutAt521) {
    char d[PATH_BUFFER_SIZE];
    const char s[] = "C:\\data\\file";
    str_copy_span(d, s + 3, s + 7);
    EXPECT_EQ(std::string(d), "data");

    const std::string long_text(600, 'q');
    str_copy_span(d, long_text.data(), long_text.data() + long_text.size());
    EXPECT_EQ(strlen(d), PATH_BUFFER_SIZE - 1);

    // The cut ignores characters: 520 'a' then 表 keeps the lead byte only.
    const std::string split = std::string(520, 'a') + HYO;
    str_copy_span(d, split.data(), split.data() + split.size());
    EXPECT_EQ(strlen(d), 521u);
    EXPECT_EQ((unsigned char)d[520], 0x95);
}

TEST(MbsFormat, ReturnsLengthOfText) {
    char d[FORMAT_BUFFER_SIZE];
    EXPECT_EQ(format_into(d, "argv[%2d]=%s\r\n", 3, "x"), 12);
    EXPECT_EQ(std::string(d), "argv[ 3]=x\r\n");
    EXPECT_EQ(str_format(d, "%s", std::string(1023, 'y').c_str()), 1023);
    EXPECT_EQ(strlen(d), 1023u);
}

TEST(MbsFormat, EmptyOutputGivesZero) {
    char d[FORMAT_BUFFER_SIZE];
    memset(d, 'x', sizeof d);
    EXPECT_EQ(format_into(d, "%s", ""), 0);
    EXPECT_EQ(d[0], '\0');
    EXPECT_EQ(d[FORMAT_BUFFER_SIZE - 1], '\0');
}

TEST(MbsFormat, OverflowKeepsFirst1023Characters) {
    char d[FORMAT_BUFFER_SIZE + 16];
    memset(d, 'x', sizeof d);
    const std::string text = std::string(1000, 'a') + std::string(500, 'b');
    EXPECT_EQ(format_into(d, "%s", text.c_str()), -1);
    EXPECT_EQ(std::string(d), text.substr(0, 1023));
    EXPECT_EQ(d[FORMAT_BUFFER_SIZE], 'x') << "wrote past the 1024-byte buffer";

    EXPECT_EQ(str_format(d, "%s!", std::string(1023, 'c').c_str()), -1) << "1024 characters do not fit";
    EXPECT_EQ(strlen(d), 1023u);
}

TEST(MbsCase, OnlyOneByteLettersAreMapped) {
    char alone[] = "\x83\x41";
    mbs_lower(alone);
    EXPECT_EQ(std::string(alone), "\x83\x41");

    char mixed[] =
        "A\x83\x41"
        "B";
    mbs_lower(mixed);
    EXPECT_EQ(std::string(mixed),
              "a\x83\x41"
              "b");

    char upper[] = "a\x83\x61z[`{@Z";
    mbs_upper(upper);
    EXPECT_EQ(std::string(upper), "A\x83\x61Z[`{@Z");

    char lower[] = "Hello\x82\x60World";
    mbs_lower(lower);
    EXPECT_EQ(std::string(lower), "hello\x82\x60world");
}

TEST(MbsCase, StrayLeadByteAtEndEndsTheWalk) {
    char s[] = "AB\x95";
    mbs_lower(s);
    EXPECT_EQ(std::string(s), "ab\x95");
}

}  // namespace
