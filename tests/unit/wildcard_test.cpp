// The wildcard filter: list splitting, matching rules, and the fast matcher
// against the recursive reference on random inputs.
#include <ctype.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/settings.h"
#include "filters/filter.h"
#include "filters/wildcard_filter.h"
#include "support/wildcard_reference.h"

namespace {

// Bytes that matter here are written as escapes.
const std::string HYO = "\x95\x5C";             // 表: its second byte is a backslash
const std::string FULL_A = "\x82\x60";          // full-width A
const std::string FULL_SMALL_A = "\x82\x81";    // full-width a
const std::string KATA_A = "\x83\x41";          // its second byte is the letter A
const std::string IDEO_SPACE = "\x81\x40";      // ideographic space
const std::string LEAD_SEMICOLON = "\x81\x3B";  // its second byte is ';'

bool passes(const std::string& text, const std::string& name) {
    filter_wildcard_t filter(text.c_str());
    return filter.matches(name.c_str());
}

void expect_passes(const std::string& text, std::initializer_list<std::string> names) {
    filter_wildcard_t filter(text.c_str());
    for (const std::string& name : names) {
        EXPECT_TRUE(filter.matches(name.c_str())) << "text '" << text << "' rejected '" << name << "'";
    }
}

void expect_rejects(const std::string& text, std::initializer_list<std::string> names) {
    filter_wildcard_t filter(text.c_str());
    for (const std::string& name : names) {
        EXPECT_FALSE(filter.matches(name.c_str())) << "text '" << text << "' passed '" << name << "'";
    }
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> items;
    char item[PATH_BUFFER_SIZE];
    const char* cursor = text.c_str();
    while (cursor != nullptr) {
        cursor = next_pattern(cursor, item);
        items.push_back(item);
    }
    return items;
}

std::string repeat(const std::string& s, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += s;
    return out;
}

}  // namespace

TEST(WildcardFilter, MatchesWholeNamesIgnoringAsciiCase) {
    expect_passes("*.txt", {"a.txt", "A.TXT", ".txt"});
    expect_rejects("*.txt", {"a.txt.bak", "a.tx", ""});
    expect_passes("a*b*c", {"abc", "aXbYc", "abbc"});
    expect_rejects("a*b*c", {"acb", "ab"});
    expect_passes("[a].txt", {"[a].txt", "[A].TXT"});
    expect_rejects("[a].txt", {"a.txt", "[b].txt"});
    expect_passes("*", {"", "x", HYO + ".txt", "\x95"});
    expect_passes("IMG_????.JPG", {"img_0001.jpg", "IMG_" + HYO + "abc.JPG"});
    expect_rejects("IMG_????.JPG", {"IMG_001.JPG", "IMG_00001.JPG"});
}

TEST(WildcardFilter, ListsSplitAtSpacesAndSemicolonsOnly) {
    for (const char* text : {"*.txt *.log", "*.txt;*.log", " ;*.txt;;  *.log; "}) {
        expect_passes(text, {"x.txt", "x.log"});
        expect_rejects(text, {"x.doc", "x.txt.doc"});
    }
    EXPECT_EQ(split(" ;*.TXT;;  *.log; "), (std::vector<std::string>{"*.txt", "*.log", ""}));
    // The ideographic space, a tab and a double-byte character ending in ';'
    // belong to the item.
    EXPECT_EQ(split("a" + IDEO_SPACE + "b\tc;" + LEAD_SEMICOLON + "d"),
              (std::vector<std::string>{"a" + IDEO_SPACE + "b\tc", LEAD_SEMICOLON + "d"}));
    expect_passes(LEAD_SEMICOLON + "*", {LEAD_SEMICOLON + "x"});
    expect_rejects(LEAD_SEMICOLON + "*", {"\x81", "x"});
}

TEST(WildcardFilter, EmptyListPassesOnlyTheEmptyName) {
    for (const char* text : {"", " ", ";; ;"}) {
        expect_rejects(text, {"a", " ", ";"});
        expect_passes(text, {""});
    }
    filter_wildcard_t no_text(nullptr);
    EXPECT_FALSE(no_text.matches(""));
    EXPECT_FALSE(no_text.matches("a"));
}

TEST(WildcardFilter, DoubleByteCharactersAreWholeAndExact) {
    expect_passes("?", {"a", HYO, FULL_A, "\x95"});
    expect_rejects("?", {"", "ab", HYO + "a"});
    expect_passes(FULL_A, {FULL_A});
    expect_rejects(FULL_A, {FULL_SMALL_A, "a", "A"});
    // The second byte of 表 is no backslash, and the one of ア no letter.
    expect_rejects("*\\*", {HYO, "a" + HYO + "b"});
    expect_passes("*\\*", {"a\\b"});
    expect_rejects(KATA_A, {"\x83\x61", "\x83"});
    EXPECT_EQ(split("X" + KATA_A + "Y"), (std::vector<std::string>{"x" + KATA_A + "y"}));
    // A lead byte before the terminator is a one-byte character of its own.
    expect_passes("a\x95", {"a\x95", "A\x95"});
    expect_rejects("a\x95", {"a" + HYO});
    expect_passes("a?", {"a\x95", "a" + HYO});
}

TEST(WildcardFilter, LongItemsAreCut) {
    // An item ended by a separator is cut at 521 bytes even inside a
    // character; its last byte is then a lone lead byte.
    const std::string cut_in_character = repeat(HYO, 300) + ";x";
    expect_passes(cut_in_character, {repeat(HYO, 260) + "\x95", "x"});
    expect_rejects(cut_in_character, {repeat(HYO, 260), repeat(HYO, 261), repeat(HYO, 300)});
    // The last item is cut before a character that would not fit.
    const std::string last = repeat(HYO, 300);
    expect_passes(last, {repeat(HYO, 260)});
    expect_rejects(last, {repeat(HYO, 260) + "\x95", repeat(HYO, 261)});
}

TEST(WildcardFilter, ManyStarsStillMatchExactly) {
    const std::string name = repeat("a", 260);
    EXPECT_FALSE(passes("*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(passes("*a*a*a*a*a*a*b", name + "b"));
    EXPECT_TRUE(passes("*a*a*a*a*a*a*", name));
    EXPECT_FALSE(passes("*a*a*a*a*a*a*", "aaaaa"));
}

TEST(WildcardFilter, CreatedByTheFactory) {
    filter_t* filter = create_filter(FILTER_WILDCARD, "*.txt");
    ASSERT_NE(filter, nullptr);
    EXPECT_TRUE(filter->matches("a.TXT"));
    EXPECT_FALSE(filter->matches("a.doc"));
    delete_filter(filter);
}

namespace {

// Random texts from pieces that have tripped byte-wise matchers: double-byte
// characters with a backslash, a letter, '*', '?', ';' or a space as second
// byte, full-width letters, letters in both cases, and a lead byte at the end.
class text_source {
public:
    explicit text_source(uint32_t seed) : random_(seed) {}

    std::string name() {
        std::string s;
        for (int n = below(11); n > 0; --n) s += name_piece();
        if (below(8) == 0) s += "\x95";  // a lone lead byte at the end
        return s;
    }

    std::string name_piece() {
        static const char* const pieces[] = {"a",        "A",        "b",        "B",        ".",
                                             "\\",       "*",        "?",        "\x95\x5C", "\x82\x60",
                                             "\x82\x81", "\x83\x41", "\x83\x61", "\x81\x2A", "\x81\x3F",
                                             "\x81\x40", "\x81\x3B", "\x81\x20"};
        return pieces[below(sizeof pieces / sizeof *pieces)];
    }

    std::string pattern() {
        static const char* const pieces[] = {"*",        "*",        "?",        "a",        "A",
                                             "b",        ".",        "\\",       "\x95\x5C", "\x82\x60",
                                             "\x82\x81", "\x83\x41", "\x83\x61", "\x81\x2A", "\x81\x3F",
                                             "\x81\x40", "\x81\x3B"};
        return build(pieces, sizeof pieces / sizeof *pieces, 7);
    }

    // A name the pattern likely matches: each star and "?" filled in, letters
    // in random case, now and then one piece dropped.
    std::string name_for(const std::string& pattern) {
        std::string s;
        for (const char* p = pattern.c_str(); *p != '\0'; p = mbs_next(p)) {
            const std::string piece(p, mbs_next(p));
            if (below(12) == 0) continue;
            if (piece == "*") {
                for (int n = below(4); n > 0; --n) s += name_piece();
            } else if (piece == "?") {
                s += name_piece();
            } else if (piece.size() == 1 && isalpha((unsigned char)piece[0]) && below(2)) {
                s += (char)(piece[0] ^ 0x20);
            } else {
                s += piece;
            }
        }
        return s;
    }

    // The patterns joined by runs of separators, sometimes also before the
    // first and after the last.
    std::string pattern_list(const std::vector<std::string>& patterns) {
        std::string text;
        for (size_t i = 0; i <= patterns.size(); ++i) {
            if (i > 0 && i < patterns.size()) text += below(2) ? ";" : " ";
            if (below(3) == 0) text += below(2) ? ";" : "  ";
            if (i < patterns.size()) text += patterns[i];
        }
        return text;
    }

    int below(int n) { return (int)(random_() % (uint32_t)n); }

private:
    std::string build(const char* const* pieces, size_t count, int max_pieces) {
        std::string s;
        const int n = below(max_pieces + 1);
        for (int i = 0; i < n; ++i) s += pieces[below((int)count)];
        if (below(8) == 0) s += "\x95";  // a lone lead byte at the end
        return s;
    }

    std::mt19937 random_;
};

}  // namespace

TEST(WildcardFilter, FastMatcherAgreesWithRecursiveReference) {
    text_source source(20240611);
    int passed = 0;
    for (int i = 0; i < 300000; ++i) {
        const std::string pattern = source.pattern();
        const int kind = source.below(4);
        const std::string name = kind == 0   ? source.name()
                                 : kind == 1 ? source.pattern()
                                             : source.name_for(pattern);
        const bool expected = test::reference_wildcard_match(pattern.c_str(), name.c_str());
        ASSERT_EQ(wildcard_match(pattern.c_str(), name.c_str()), expected)
            << "pattern '" << pattern << "' name '" << name << "'";
        ASSERT_EQ(test::reference_wildcard_table(pattern.c_str(), name.c_str()), expected)
            << "pattern '" << pattern << "' name '" << name << "'";
        passed += expected;
    }
    // Guards the generator: both outcomes must be well represented.
    EXPECT_GT(passed, 60000);
    EXPECT_LT(passed, 240000);
}

TEST(WildcardFilter, SplitOnceAgreesWithSplittingPerName) {
    text_source source(7);
    for (int i = 0; i < 20000; ++i) {
        std::vector<std::string> patterns(source.below(4));
        for (std::string& pattern : patterns) pattern = source.pattern();
        const std::string text = source.pattern_list(patterns);
        filter_wildcard_t filter(text.c_str());
        for (int k = 0; k < 8; ++k) {
            const std::string name = patterns.empty() || source.below(2)
                                         ? source.name()
                                         : source.name_for(patterns[source.below((int)patterns.size())]);
            const bool expected =
                test::reference_wildcard_list(text.c_str(), name.c_str(), test::reference_wildcard_match);
            ASSERT_EQ(filter.matches(name.c_str()), expected)
                << "text '" << text << "' name '" << name << "'";
        }
    }
}
