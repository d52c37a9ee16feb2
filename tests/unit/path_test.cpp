// Path queries, splits and joins on Shift-JIS paths.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "text/mbs.h"

namespace {

// 表: its second byte is the code of the backslash.
const std::string HYO = "\x95\x5C";

std::string combine(const std::string& base, const std::string& relative, bool* result) {
    char o[PATH_BUFFER_SIZE];
    memset(o, 'x', sizeof o);
    *result = path_combine(o, base.c_str(), relative.c_str());
    return std::string(o);
}

// --- Queries ---------------------------------------------------------------------

TEST(PathQuery, SecondByteOfHyoIsNoSeparator) {
    const std::string s = "C:\\" + HYO;
    EXPECT_FALSE(path_is_sep_at(s.c_str(), 4));
    EXPECT_TRUE(path_is_sep_at(s.c_str(), 2));
    EXPECT_FALSE(path_has_trailing_sep(s.c_str()));
    EXPECT_EQ(path_find_trailing_sep(s.c_str()), nullptr);
    EXPECT_EQ(path_find_last_sep(s.c_str()), s.c_str() + 2);
    EXPECT_EQ(path_find_name(s.c_str()), s.c_str() + 3);
}

TEST(PathQuery, FirstLastAndTrailingSeparators) {
    const char s[] = "C:\\a\\b\\";
    EXPECT_EQ(path_find_sep(s), s + 2);
    EXPECT_EQ(path_find_last_sep(s), s + 6);
    EXPECT_EQ(path_find_trailing_sep(s), s + 6);
    EXPECT_TRUE(path_has_trailing_sep(s));
    EXPECT_EQ(path_find_name(s), s + 7);

    EXPECT_EQ(path_find_sep("name"), nullptr);
    EXPECT_EQ(path_find_last_sep("name"), nullptr);
    EXPECT_FALSE(path_has_trailing_sep(""));
    EXPECT_FALSE(path_has_trailing_sep("C:\\a"));
    EXPECT_FALSE(path_has_trailing_sep("a/")) << "only the backslash separates";
}

TEST(PathQuery, HyoThenSeparatorIsTrailing) {
    const std::string s = "C:\\" + HYO + "\\";
    EXPECT_EQ(path_find_trailing_sep(s.c_str()), s.c_str() + 5);
    const std::string t = HYO + "\\x";
    EXPECT_EQ(path_find_sep(t.c_str()), t.c_str() + 2);
}

TEST(PathQuery, FindExt) {
    const char dotted_folder[] = "C:\\my.dir\\file";
    EXPECT_EQ(path_find_ext(dotted_folder), dotted_folder + strlen(dotted_folder));
    const char several[] = "a\\b.tar.gz";
    EXPECT_STREQ(path_find_ext(several), ".gz");
    const char dot_first[] = "a\\.profile";
    EXPECT_EQ(path_find_ext(dot_first), dot_first + 2);
    const char dot_last[] = "a\\name.";
    EXPECT_EQ(path_find_ext(dot_last), dot_last + 6);
    const char bare[] = "readme.txt";
    EXPECT_EQ(path_find_ext(bare), bare + 6);
    const std::string kanji = "x." + HYO;  // the 0x5C ends no component
    EXPECT_EQ(path_find_ext(kanji.c_str()), kanji.c_str() + 1);
}

// --- In-place splits ---------------------------------------------------------------

TEST(PathSplit, NameCutsAtLastSeparator) {
    char path[] = "C:\\data\\file.txt";
    char* name = path_split_name(path);
    EXPECT_STREQ(path, "C:\\data");
    EXPECT_STREQ(name, "file.txt");
}

TEST(PathSplit, BareNameIsLeftWhole) {
    char path[] = "file.txt";
    EXPECT_EQ(path_split_name(path), path);
    EXPECT_STREQ(path, "file.txt");
}

TEST(PathSplit, NameKeepsHyo) {
    std::string text = "C:\\" + HYO;
    std::vector<char> path(text.begin(), text.end());
    path.push_back('\0');
    char* name = path_split_name(path.data());
    EXPECT_STREQ(path.data(), "C:");
    EXPECT_EQ(std::string(name), HYO);
}

TEST(PathSplit, Ext) {
    char path[] = "a.b\\c.tar.gz";
    char* ext = path_split_ext(path);
    EXPECT_STREQ(path, "a.b\\c.tar");
    EXPECT_STREQ(ext, "gz");

    char none[] = "a.b\\c";
    char* empty = path_split_ext(none);
    EXPECT_STREQ(none, "a.b\\c");
    EXPECT_EQ(empty, none + 5);
}

// --- path_combine ------------------------------------------------------------------

struct combine_case_t {
    const char* base;
    const char* relative;
    const char* output;
    bool result;
};

TEST(PathCombine, ExamplesTable) {
    const combine_case_t cases[] = {
        {"C:\\data", "sub\\f.txt", "C:\\data\\sub\\f.txt", true},
        {"C:\\data\\", "x", "C:\\data\\x", true},
        {"C:\\data", "", "C:\\data\\", true},
        {"C:\\a\\b", "..\\c", "C:\\a\\c", true},
        {"C:\\a", "./b/c", "C:\\a\\b\\c", true},
        {"C:\\a", "..", "C:", true},
        {"C:\\", "..", "", true},
        {"C:", "..\\..", "", false},
        {"", "\\x", "x", true},
    };
    for (const combine_case_t& c : cases) {
        bool result = !c.result;
        const std::string got = combine(c.base, c.relative, &result);
        EXPECT_EQ(got, c.output) << "base '" << c.base << "', relative '" << c.relative << "'";
        EXPECT_EQ(result, c.result) << "base '" << c.base << "', relative '" << c.relative << "'";
    }
}

TEST(PathCombine, SearchPatternAndMoreComponents) {
    bool result = false;
    EXPECT_EQ(combine("C:\\data", "*", &result), "C:\\data\\*");
    EXPECT_EQ(combine("C:\\data", "a//b/", &result), "C:\\data\\a\\b\\")
        << "empty components add one separator";
    EXPECT_EQ(combine("C:\\a\\b\\", "..\\..\\c", &result), "C:\\c");
    EXPECT_EQ(combine("C:\\a", "...", &result), "C:\\a\\...") << "only '.' and '..' are special";
    EXPECT_EQ(combine("C:\\a", ".x\\..y", &result), "C:\\a\\.x\\..y");
    EXPECT_TRUE(result);
    EXPECT_EQ(combine("C:\\a\\b", "..\\..\\..\\..", &result), "");
    EXPECT_FALSE(result);
}

TEST(PathCombine, HyoIsNeitherSeparatorNorComponentEnd) {
    bool result = false;
    // The 0x5C of 表 in the relative path splits nothing.
    EXPECT_EQ(combine("C:", HYO + "\\x", &result), "C:\\" + HYO + "\\x");
    // A base ending in 表 gets a real separator; ".." then removes the whole name.
    EXPECT_EQ(combine("C:\\" + HYO, "x\\..\\..", &result), "C:");
    EXPECT_TRUE(result);
}

TEST(PathCombine, CutsSilentlyAt521Bytes) {
    const std::string base = "C:\\" + std::string(512, 'd');  // 515 bytes
    bool result = false;
    const std::string got = combine(base, "sub\\file.txt", &result);
    EXPECT_TRUE(result);
    EXPECT_EQ(got.size(), PATH_BUFFER_SIZE - 1);
    EXPECT_EQ(got, (base + "\\sub\\file.txt").substr(0, PATH_BUFFER_SIZE - 1));

    // After a cut, ".." still removes whole components and nothing reappears.
    const std::string back = combine(base, "sub\\file.txt\\..\\..\\x", &result);
    EXPECT_EQ(back, base + "\\x");
}

TEST(PathCombine, ClearsTheRestOfTheBuffer) {
    char o[PATH_BUFFER_SIZE];
    memset(o, 'x', sizeof o);
    ASSERT_TRUE(path_combine(o, "C:\\a", "b"));
    for (size_t i = strlen(o); i < PATH_BUFFER_SIZE; ++i) ASSERT_EQ(o[i], '\0') << "at " << i;
}

// --- The fast queries agree with the definitions ------------------------------------
//
// The definitions test each position with path_is_sep_at, which classifies
// the byte from the start of the string; the code classifies from behind.
// Every short string over an alphabet of tricky bytes must give the same
// answers.

// Calls check with every string of up to max_length bytes from alphabet,
// stopping at the first failed assertion.
void for_each_string(const std::string& alphabet, size_t max_length,
                     const std::function<void(const std::string&)>& check) {
    std::vector<size_t> digits;
    for (size_t length = 0; length <= max_length; ++length) {
        digits.assign(length, 0);
        for (;;) {
            std::string s;
            for (size_t d : digits) s += alphabet[d];
            check(s);
            if (::testing::Test::HasFatalFailure()) return;
            size_t k = 0;
            while (k < length && ++digits[k] == alphabet.size()) digits[k++] = 0;
            if (k == length) break;
        }
    }
}

const char* defined_last_sep(const char* s) {
    for (size_t i = strlen(s); i-- > 0;)
        if (path_is_sep_at(s, i)) return s + i;
    return nullptr;
}

const char* defined_ext(const char* s) {
    for (size_t i = strlen(s); i-- > 0;) {
        if (path_is_sep_at(s, i)) break;
        if (s[i] == '.') return s + i;
    }
    return s + strlen(s);
}

void check_queries(const std::string& text) {
    const char* s = text.c_str();
    const char* last = defined_last_sep(s);
    const char* first = nullptr;
    for (size_t i = 0; i < text.size() && first == nullptr; ++i)
        if (path_is_sep_at(s, i)) first = s + i;
    ASSERT_EQ(path_find_sep(s), first) << "for '" << text << "'";
    ASSERT_EQ(path_find_last_sep(s), last) << "for '" << text << "'";
    ASSERT_EQ(path_has_trailing_sep(s), last != nullptr && last[1] == '\0') << "for '" << text << "'";
    ASSERT_EQ(path_find_name(s), last ? last + 1 : s) << "for '" << text << "'";
    ASSERT_EQ(path_find_ext(s), defined_ext(s)) << "for '" << text << "'";
}

TEST(PathQuery, MatchesDefinitionOnEveryShortString) {
    // 0x81 0x20: a lead byte before a byte outside the trail range.
    for_each_string("a\\.\x95\x81 ", 7, check_queries);
}

// path_combine as described step by step, over std::string and the queries.
bool defined_combine(const std::string& b, const std::string& r, std::string* o) {
    *o = b;
    const auto append = [o](const std::string& bytes) {
        *o = (*o + bytes).substr(0, std::min(o->size() + bytes.size(), PATH_BUFFER_SIZE - 1));
    };
    size_t start = 0;
    for (;;) {
        const size_t length = mbs_cspn(r.c_str() + start, "/\\");
        const std::string component = r.substr(start, length);
        if (component == "..") {
            if (path_has_trailing_sep(o->c_str())) o->pop_back();
            if (o->empty()) return false;
            const char* sep = path_find_last_sep(o->c_str());
            o->resize(sep ? (size_t)(sep - o->c_str()) : 0);
        } else if (component != ".") {
            if (!o->empty() && !path_has_trailing_sep(o->c_str())) append("\\");
            append(component);
        }
        if (start + length == r.size()) return true;
        start += length + 1;
    }
}

TEST(PathCombine, MatchesStepByStepDescription) {
    for_each_string("a\\.\x95", 4, [](const std::string& base) {
        for_each_string("a./\\\x95", 4, [&base](const std::string& relative) {
            std::string expected;
            const bool expected_result = defined_combine(base, relative, &expected);
            bool result = !expected_result;
            ASSERT_EQ(combine(base, relative, &result), expected)
                << "for '" << base << "' + '" << relative << "'";
            ASSERT_EQ(result, expected_result) << "for '" << base << "' + '" << relative << "'";
        });
    });
}

}  // namespace
