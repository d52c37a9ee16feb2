// Names into the program's text and into UTF-8, the same on both builds:
// code page 932 as Windows converts it, and what becomes "?".
#include "platform/native_text.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "text/mbs.h"
#include "text/unicode_convert.h"

#ifdef _WIN32
#include <windows.h>
#define SEPARATOR_UTF8 "\\"
#else
#include <sys/resource.h>
#include <unistd.h>
#define SEPARATOR_UTF8 "/"
#endif

namespace {

using native_string = std::basic_string<nchar_t>;

// The native text of valid UTF-8: the bytes on POSIX, their UTF-16 on Windows.
native_string native_of(const std::string& utf8) {
#ifdef _WIN32
    std::wstring wide(utf8.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), (int)utf8.size(), &wide[0],
                                      (int)wide.size());
    EXPECT_TRUE(n > 0 || utf8.empty()) << utf8;
    wide.resize(n > 0 ? (size_t)n : 0);
    return wide;
#else
    return utf8;
#endif
}

std::string text_of(const native_string& native, text_kind_t kind) {
    const size_t length = text_from_native(nullptr, 0, native.data(), native.size(), kind);
    std::string text(length + 1, '\0');
    EXPECT_EQ(text_from_native(&text[0], text.size(), native.data(), native.size(), kind), length);
    text.resize(length);
    return text;
}

std::string utf8_of(const native_string& native, text_kind_t kind) {
    const size_t length = utf8_from_native(nullptr, 0, native.data(), native.size(), kind);
    std::string text(length + 1, '\0');
    EXPECT_EQ(utf8_from_native(&text[0], text.size(), native.data(), native.size(), kind), length);
    text.resize(length);
    return text;
}

struct name_case {
    const char* utf8;               // the name as the file system holds it (valid UTF-8)
    const char* cp932;              // its line in a list in code page 932
    const char* as_utf8 = nullptr;  // its line in a UTF-8 list (null: the name itself)
};

// Names, TEXT_NAME. Expected bytes are spelled out: the compiler's own
// conversion of literals maps some look-alikes onto their twins.
const name_case NAME_CASES[] = {
    // The seven that other tables map onto their Microsoft twins, and the twins.
    {u8"x\u301C", "x?"},
    {u8"x\uFF5E", "x\x81\x60"},
    {u8"x\u2016", "x?"},
    {u8"x\u2225", "x\x81\x61"},
    {u8"x\u2212", "x?"},
    {u8"x\uFF0D", "x\x81\x7C"},
    {u8"x\u2014", "x?"},
    {u8"x\u2015", "x\x81\x5C"},
    {u8"x\u00A2", "x?"},
    {u8"x\uFFE0", "x\x81\x91"},
    {u8"x\u00A3", "x?"},
    {u8"x\uFFE1", "x\x81\x92"},
    {u8"x\u00AC", "x?"},
    {u8"x\uFFE2", "x\x81\xCA"},
    // What would read as "\" and "~".
    {u8"x\u00A5", "x?"},
    {u8"x\u203E", "x?"},
    // One-byte codes outside ASCII and the kana.
    {u8"x\uF8F0", "x\xA0"},
    {u8"x\uF8F3", "x\xFF"},
    {u8"x\uFF71", "x\xB1"},
    // Where several codes decode alike, the one Windows writes.
    {u8"x\u2170", "x\xFA\x40"},
    {u8"x\u2160", "x\x87\x54"},
    {u8"x\u2252", "x\x81\xE0"},
    {u8"x\u4E28", "x\xFA\x68"},
    {u8"x\uE000", "x\xF0\x40"},
    {u8"\u8868.txt", "\x95\x5C.txt"},
    // Controls: C0, DEL, C1.
    {u8"x\u0080", "x?", "x?"},
    {u8"x\u0085y\u009F", "x?y?", "x?y?"},
    {"x\x7F", "x?", "x?"},
    {"a\tb\nc\x1F", "a?b?c?", "a?b?c?"},
    // Separators inside a name.
    {"p\\q", "p?q", "p?q"},
    {"p/q", "p?q", "p?q"},
    // Outside the Basic Multilingual Plane: one "?" each.
    {u8"\U0001F600\U00020B9F.txt", "??.txt"},
};

TEST(NativeText, NamesConvertAsWindowsDoesAndShowQuestionMarksForWhatALineCannotHold) {
    for (const name_case& c : NAME_CASES) {
        const native_string native = native_of(c.utf8);
        EXPECT_EQ(text_of(native, TEXT_NAME), c.cp932) << c.utf8;
        EXPECT_EQ(utf8_of(native, TEXT_NAME), c.as_utf8 ? c.as_utf8 : c.utf8) << c.utf8;
    }
}

struct kind_case {
    const char* utf8;
    text_kind_t kind;
    const char* cp932;
    const char* as_utf8;
};

TEST(NativeText, EachKindKeepsWhatItNames) {
#ifdef _WIN32
    const char* path_backslash = "a\\b/c";  // both separators stay
#else
    const char* path_backslash = "a?b/c";  // "/" separates; "\" is part of a name
#endif
    const kind_case cases[] = {
        {"a\\b/c", TEXT_PATH, path_backslash, path_backslash},
        {"a\x01/\x7F", TEXT_PATH, "a?/?", "a?/?"},
        {u8"x\u0080\x7F\t", TEXT_NAME | TEXT_KEEP_CONTROLS, "x\x80\x7F\t", u8"x\u0080\x7F\t"},
        {u8"x\u0085", TEXT_NAME | TEXT_KEEP_CONTROLS, "x?", u8"x\u0085"},  // no code for it
        {"p\\q/r", TEXT_NAME | TEXT_KEEP_BACKSLASH, "p\\q?r", "p\\q?r"},
        {"p\\q\x01", TEXT_NAME | TEXT_KEEP_BACKSLASH | TEXT_KEEP_CONTROLS, "p\\q\x01", "p\\q\x01"},
        {"/regex:^a\\.txt\t$", TEXT_ARGUMENT, "/regex:^a\\.txt\t$", "/regex:^a\\.txt\t$"},
    };
    for (const kind_case& c : cases) {
        const native_string native = native_of(c.utf8);
        EXPECT_EQ(text_of(native, c.kind), c.cp932) << c.utf8 << " kind " << c.kind;
        EXPECT_EQ(utf8_of(native, c.kind), c.as_utf8) << c.utf8 << " kind " << c.kind;
    }
    // A NUL shows "?" whatever the kind.
    const nchar_t with_nul[] = {'a', 0, 'b'};
    EXPECT_EQ(text_of(native_string(with_nul, 3), TEXT_ARGUMENT), "a?b");
    EXPECT_EQ(utf8_of(native_string(with_nul, 3), TEXT_ARGUMENT), "a?b");
}

// A byte that is not plain, at each place in a long name: the runs copied
// eight bytes at a time stop for it as a byte-by-byte copy would.
TEST(NativeText, AByteThatIsNotPlainIsSeenAnywhereInALongName) {
    const struct {
        std::string bytes;
        unsigned replaced;
        const char* shown;
    } specials[] = {
        {"\x01", REPLACE_CONTROLS, "?"},
        {"\x7F", REPLACE_CONTROLS, "?"},
        {"\\", REPLACE_BACKSLASH, "?"},
        {"/", REPLACE_SLASH, "?"},
        {"\\", 0, "\\"},
        {"\xE3\x81\x82", 0, "\x82\xA0"},
        {"\xC3\xA9", 0, "?"},
        {std::string(1, '\0'), 0, "?"},
    };
    for (const auto& special : specials) {
        for (size_t at = 0; at <= 20; ++at) {
            std::string name(20, 'K');
            std::string expected(20, 'K');
            name.insert(at, special.bytes);
            expected.insert(at, special.shown);
            char out[64];
            const size_t length =
                cp932_from_utf8(out, sizeof out, name.data(), name.size(), special.replaced);
            EXPECT_EQ(std::string(out, length), expected) << "at " << at << " replaced " << special.replaced;
        }
    }
}

// Invalid UTF-8 (a Linux name) and lone surrogates (a Windows name): one "?"
// in code page 932, one U+FFFD in UTF-8, for each sequence, cut as Wine cuts
// a Linux name into the UTF-16 it hands the Windows build.
#define FFFD "\xEF\xBF\xBD"

struct invalid_utf8_case {
    std::string bytes;
    const char* cp932;
    const char* utf8;
};

const invalid_utf8_case INVALID_UTF8[] = {
    {"a\x80"
     "b",
     "a?b", "a" FFFD "b"},
    {"a\x80\xBF"
     "b",
     "a??b", "a" FFFD FFFD "b"},
    {"a\xC0\xAF"
     "b",
     "a??b", "a" FFFD FFFD "b"},  // C0 and C1 start nothing
    {"a\xC1\xBF", "a??", "a" FFFD FFFD},
    {"a\xE0\x80\xAF"
     "b",
     "a??b", "a" FFFD FFFD "b"},  // overlong: the lead takes the second byte
    {"a\xF0\x80\x80\xAF"
     "b",
     "a???b", "a" FFFD FFFD FFFD "b"},
    {"a\xED\xA0\x80"
     "b",
     "a??b", "a" FFFD FFFD "b"},  // a surrogate
    {"a\xED\xA0\xBD\xED\xB8\x80"
     "b",
     "a????b", "a" FFFD FFFD FFFD FFFD "b"},
    {"a\xF4\x90\x80\x80"
     "b",
     "a???b", "a" FFFD FFFD FFFD "b"},  // above U+10FFFF
    {"a\xF5\x80\x80\x80"
     "b",
     "a????b", "a" FFFD FFFD FFFD FFFD "b"},
    {"a\xE3\x81"
     "b",
     "a?b", "a" FFFD "b"},  // cut short
    {"a\xE3\xE3\x81\x82", "a?\x82\xA0", "a" FFFD "\xE3\x81\x82"},
    {"a\xE3\x81", "a?", "a" FFFD},
    {"a\xF0.z", "a?", "a" FFFD},  // its length runs past the end: the rest goes with it
    {"\xFF\xFE", "??", FFFD FFFD},
    {std::string("a\0b", 3), "a?b", "a?b"},
};

TEST(NativeText, InvalidUtf8IsOneQuestionMarkPerSequence) {
    for (const invalid_utf8_case& c : INVALID_UTF8) {
        char out[64];
        EXPECT_EQ(cp932_from_utf8(out, sizeof out, c.bytes.data(), c.bytes.size(), REPLACE_CONTROLS),
                  strlen(c.cp932));
        EXPECT_STREQ(out, c.cp932) << c.bytes;
        EXPECT_EQ(utf8_from_utf8(out, sizeof out, c.bytes.data(), c.bytes.size(), REPLACE_CONTROLS),
                  strlen(c.utf8));
        EXPECT_STREQ(out, c.utf8) << c.bytes;
#ifndef _WIN32
        EXPECT_EQ(text_of(c.bytes, TEXT_NAME), c.cp932) << c.bytes;
        EXPECT_EQ(utf8_of(c.bytes, TEXT_NAME), c.utf8) << c.bytes;
#endif
    }
}

struct invalid_utf16_case {
    std::vector<uint16_t> units;
    const char* cp932;
    const char* utf8;
};

TEST(NativeText, LoneSurrogatesAreOneQuestionMarkEach) {
    const invalid_utf16_case cases[] = {
        {{'a', 0xD800, 'b'}, "a?b", "a" FFFD "b"},
        {{'a', 0xDC00, 'b'}, "a?b", "a" FFFD "b"},
        {{'a', 0xDC00, 0xD800, 'b'}, "a??b", "a" FFFD FFFD "b"},
        {{'a', 0xDBFF}, "a?", "a" FFFD},
        {{'a', 0xD83D, 0xDE00, 'b'},
         "a?b",
         "a\xF0\x9F\x98\x80"
         "b"},  // a pair: one character
        {{'a', 0xD83D, 0xD83D, 0xDE00}, "a??", "a" FFFD "\xF0\x9F\x98\x80"},
    };
    for (const invalid_utf16_case& c : cases) {
        const std::basic_string<utf16_unit_t> units(c.units.begin(), c.units.end());
        char out[64];
        EXPECT_EQ(cp932_from_utf16(out, sizeof out, units.data(), units.size(), REPLACE_CONTROLS),
                  strlen(c.cp932));
        EXPECT_STREQ(out, c.cp932);
        EXPECT_EQ(utf8_from_utf16(out, sizeof out, units.data(), units.size(), REPLACE_CONTROLS),
                  strlen(c.utf8));
        EXPECT_STREQ(out, c.utf8);
#ifdef _WIN32
        EXPECT_EQ(text_of(units, TEXT_NAME), c.cp932);
        EXPECT_EQ(utf8_of(units, TEXT_NAME), c.utf8);
#endif
    }
}

TEST(NativeText, TextThatDoesNotFitIsCutAtAWholeCharacter) {
    const native_string native = native_of(u8"ab\u8868\U0001F600c\u00E9\uFF71d");
    const std::string whole = text_of(native, TEXT_NAME);
    ASSERT_EQ(whole,
              "ab\x95\x5C?c?\xB1"
              "d");
    for (size_t size = 0; size <= whole.size(); ++size) {
        std::string out(size + 1, '#');
        EXPECT_EQ(text_from_native(size ? &out[0] : nullptr, size, native.data(), native.size(), TEXT_NAME),
                  whole.size());
        if (size == 0) continue;
        const std::string got = out.c_str();
        EXPECT_EQ(whole.compare(0, got.size(), got), 0) << size;
        EXPECT_LT(got.size(), size);
        // Cut where a character ends, and no earlier than the last one that fits.
        EXPECT_NE(mbs_byte_type(whole.c_str(), got.size()), 2) << size;
        EXPECT_GE(got.size() + 2, size) << size;
    }
}

// Program text back into native text: the Unicode of each code, and "\" as
// the system's separator.
TEST(NativeText, ProgramTextComesBackAsTheSameNativeText) {
    for (const name_case& c : NAME_CASES) {
        const native_string native = native_of(c.utf8);
        const std::string text = text_of(native, TEXT_NAME);
        if (text.find('?') != std::string::npos) continue;
        const size_t length = native_from_text(nullptr, 0, text.c_str());
        native_string back(length + 1, 0);
        native_from_text(&back[0], back.size(), text.c_str());
        back.resize(length);
        EXPECT_EQ(back, native) << c.utf8;
    }
    nchar_t native[16];
    native_from_text(native, 16, "a\\\x95\x5C");
    EXPECT_EQ(native_string(native), native_of(u8"a" SEPARATOR_UTF8 "\u8868"));
}

#ifndef _WIN32
// The conversion loads nothing: with no descriptor left to open a module,
// names and messages still convert. Exits 0 when they do.
void convert_with_no_descriptor_left() {
    const struct rlimit none = {0, 0};
    setrlimit(RLIMIT_NOFILE, &none);
    char text[32];
    text_from_native(text, sizeof text, u8"\u8868\u301C\uFF5E", 9, TEXT_NAME);
    char utf8[32];
    utf8_from_cp932(utf8, sizeof utf8, "\x95\x5C\x81\x60", 4);
    _exit(strcmp(text, "\x95\x5C?\x81\x60") == 0 && strcmp(utf8, u8"\u8868\uFF5E") == 0 ? 0 : 1);
}

TEST(NativeTextDeathTest, ConvertsWithNoDescriptorLeft) {
    EXPECT_EXIT(convert_with_no_descriptor_left(), testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
