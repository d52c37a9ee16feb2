// The regular-expression search and filter: the dialect's matching rules,
// lookaheads, letter case and width, bracket texts, the step budget, and the
// search against the recursive reference on random patterns and names.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TOOLS/toolwind/toolwind.h"
#include "app/settings.h"
#include "filters/filter.h"
#include "filters/regex/regex.h"
#include "filters/regex/regex_internal.h"
#include "filters/regex/regexp_filter.h"
#include "support/regex_reference.h"

namespace {

const std::string HYO = "\x95\x5C";           // 表: its second byte is a backslash
const std::string FULL_A = "\x82\x60";        // full-width A
const std::string FULL_SMALL_A = "\x82\x81";  // full-width a
const std::string HIRA_A = "\x82\xA0";        // あ
const std::string KATA_A = "\x83\x41";        // ア: its second byte is the letter A

struct program_deleter {
    void operator()(regex_program_t* program) const { regex_free(program); }
};
using program_ptr = std::unique_ptr<regex_program_t, program_deleter>;

// What the search of pattern (compiled as given) finds in subject: the
// matched text in brackets, "none", or "gave up".
std::string search(const std::string& pattern, const std::string& subject,
                   int64_t step_limit = REGEX_STEP_LIMIT) {
    program_ptr program(regex_compile(pattern.c_str()));
    if (!program) return "no program";
    program->step_limit = step_limit;
    regex_search_status_t status;
    regex_match_t* match = regex_search(program.get(), subject.c_str(), &status);
    if (status == REGEX_GAVE_UP) return "gave up";
    if (match == nullptr) return "none";
    const std::string found = "[" + std::string(match->slots[0].start, match->slots[0].end) + "]";
    regex_match_free(match);
    return found;
}

void expect_passes(const std::string& text, std::initializer_list<std::string> names) {
    filter_regexp_t filter(text.c_str());
    for (const std::string& name : names) {
        EXPECT_TRUE(filter.matches(name.c_str())) << "text '" << text << "' rejected '" << name << "'";
    }
}

void expect_rejects(const std::string& text, std::initializer_list<std::string> names) {
    filter_regexp_t filter(text.c_str());
    for (const std::string& name : names) {
        EXPECT_FALSE(filter.matches(name.c_str())) << "text '" << text << "' passed '" << name << "'";
    }
}

// Collects trace lines while it lives.
struct trace_capture {
    static std::string lines;
    trace_proc_t previous;
    trace_capture() : previous(SetTraceProc(record)) { lines.clear(); }
    ~trace_capture() { SetTraceProc(previous); }
    static int record(const char* format, ...) {
        char text[FORMAT_BUFFER_SIZE];
        va_list args;
        va_start(args, format);
        const int length = vsnprintf(text, sizeof(text), format, args);
        va_end(args);
        lines += text;
        return length;
    }
};
std::string trace_capture::lines;

}  // namespace

TEST(RegexFilter, FindsTheFirstMatchAnywhereInTheName) {
    expect_passes("abc", {"xabcx", "XABC.TXT"});
    expect_passes("^abc$", {"abc", "ABC"});
    expect_rejects("^abc$", {"abcd", "xabc"});
    expect_rejects("$", {"abc"});
    expect_passes("c$", {"abc"});
    expect_passes("a*", {"", "xyz", HYO});
    expect_passes("", {"", "anything"});
    expect_passes("\\.(jpe?g|png)$", {"IMG_0001.JPG", "a.jpeg", "b.Png"});
    expect_rejects("\\.(jpe?g|png)$", {"a.jpgx", "jpg", "a.gif"});
    // Only the name after the last backslash is searched.
    expect_passes("^abc", {"dir\\abc.txt"});
    expect_rejects("dir", {"dir\\abc.txt"});
    // '[]' never matches; '[^]' is any one character.
    expect_rejects("[]", {"", "a", "[]"});
    expect_passes("[^]", {"a", HYO});
    expect_rejects("[^]", {""});
}

// Letters match either case everywhere, brackets included, while an escape
// keeps the meaning of its own letter case. Each row goes through the filter
// and through the reference walk of the program the filter compiles.
TEST(RegexFilter, LetterCaseIsIgnoredAndEscapesKeepTheirCase) {
    const struct {
        std::string text;
        std::string name;
        bool passes;
    } cases[] = {
        {"^[A-Z]+$", "abc", true},
        {"^[A-Z]+$", "ABC", true},
        {"^[a-z]+$", "AbC", true},
        {"^[A-Z]+$", "ab1", false},
        {"[A-Z]x", "Rx", true},
        {"[^a-z]", "abcXYZ", false},
        {"[^A-Z]", "abcXYZ", false},
        {"[^a-z]", "ab1", true},
        {"[^a-z]", HYO, true},
        {"^\\D+$", "ab", true},
        {"^\\D+$", "AB", true},
        {"\\D", "12", false},
        {"\\d", "a1", true},
        {"\\W", "a_B9", false},
        {"\\W", "a.B", true},
        {"^\\S+$", "Ab", true},
        {"\\S", "  ", false},
        {"^\\H+$", "gG", true},
        {"\\H", "aF09", false},
        {"[^\\D]", "aB", false},
        {"[\\W]", "a.B", true},
        {"^[Z-a]+$", "zZ_`aA", true},
        {"[^Z-a]", "zA_", false},
        // '\T' is the letter t, not a tab: only the lower-case escapes stand for control characters.
        {"^\\T$", "t", true},
        {"\\T", "\t", false},
        // Only ASCII letters fold: width is never crossed, and a double-byte
        // character whose second byte is a letter is never split.
        {"[A-Z]", FULL_A, false},
        {"[" + FULL_A + "]", FULL_SMALL_A, false},
        {"[a]", KATA_A, false},
        {"^[^a]$", KATA_A, true},
    };
    for (const auto& c : cases) {
        filter_regexp_t filter(c.text.c_str());
        EXPECT_EQ(filter.matches(c.name.c_str()), c.passes)
            << "text '" << c.text << "' name '" << c.name << "'";
        program_ptr program(regex_compile(c.text.c_str()));
        ASSERT_TRUE(program) << c.text;
        test::reference_matcher_t reference(program.get(), REGEX_STEP_LIMIT);
        EXPECT_EQ(reference.search(c.name.c_str()).found, c.passes)
            << "reference, text '" << c.text << "' name '" << c.name << "'";
    }
}

TEST(RegexSearch, AnchorsAndStartPositions) {
    EXPECT_EQ(search("$", "abc"), "none");
    EXPECT_EQ(search("$", ""), "[]");
    EXPECT_EQ(search("c$", "abc"), "[c]");
    EXPECT_EQ(search("b$", "ab\r\n"), "[b]");
    EXPECT_EQ(search("b$", "ab\ncd"), "[b]");
    EXPECT_EQ(search("^b", "a\nb"), "none");
    EXPECT_EQ(search("x*", "abc"), "[]");
    EXPECT_EQ(search("a|ab", "ab"), "[a]");
    EXPECT_EQ(search("ab|a", "ab"), "[ab]");
    EXPECT_EQ(search("a|", "b"), "[]");
    EXPECT_EQ(search("a+?", "aaa"), "[a]");
    EXPECT_EQ(search("a{2,3}", "aaaa"), "[aaa]");
    EXPECT_EQ(search("a{2,3}?", "aaaa"), "[aa]");
    EXPECT_EQ(search("a{2,}", "aaaa"), "[aaaa]");
    EXPECT_EQ(search("a{,2}b", "aaab"), "[aab]");
    EXPECT_EQ(search(".", "\r"), "[\r]");
    // An unclosed "(?=" is an optional "(" followed by '=x'.
    EXPECT_EQ(search("(?=x", "=x"), "[=x]");
    EXPECT_EQ(search("(?=x", "(=x"), "[(=x]");
}

TEST(RegexSearch, DoubleByteCharactersAreWhole) {
    EXPECT_EQ(search("^.$", HYO), "[" + HYO + "]");
    EXPECT_EQ(search("^[^a]$", HYO), "[" + HYO + "]");
    // The second byte of 表 is no backslash and no character of its own.
    EXPECT_EQ(search("\\\\", HYO), "none");
    EXPECT_EQ(search("\\" + HYO, "x" + HYO), "[" + HYO + "]");
    EXPECT_EQ(search("A", KATA_A), "none");
    EXPECT_EQ(search(".A", "x" + KATA_A + "A"), "[" + KATA_A + "A]");
}

TEST(RegexSearch, LoneLeadByteIsAOneByteCharacter) {
    // A lead byte that ends the pattern has its own one-byte code, so it
    // matches the same lone byte at the end of a name...
    EXPECT_EQ(search("a\x81", "xa\x81"), "[a\x81]");
    EXPECT_EQ(search("\\\x81", "xa\x81"), "[\x81]");
    // ...and never a double-byte character that begins with it.
    EXPECT_EQ(search("a\x81", "a\x81@"), "none");
    EXPECT_EQ(search("\\\x81", "\x81@"), "none");
}

TEST(RegexSearch, LettersMatchInEitherCaseAndFullWidthOnlyFullWidth) {
    EXPECT_EQ(search("abc", "xABCx"), "[ABC]");
    EXPECT_EQ(search(FULL_A, FULL_SMALL_A), "[" + FULL_SMALL_A + "]");
    EXPECT_EQ(search(FULL_SMALL_A, FULL_A), "[" + FULL_A + "]");
    EXPECT_EQ(search(FULL_A, "aA"), "none");
    EXPECT_EQ(search("a", FULL_A), "none");
    EXPECT_EQ(search("[" + FULL_A + "]", FULL_SMALL_A), "none");
    EXPECT_EQ(search("[" + FULL_A + "]", FULL_A), "[" + FULL_A + "]");
    // The full-width yen sign and the backslash share a one-byte form, but
    // width is never crossed.
    EXPECT_EQ(search("\x81\x8F", "\\"), "none");
    expect_passes(FULL_A, {FULL_SMALL_A, FULL_A});
    expect_rejects(FULL_A, {"A"});
    expect_passes("[" + FULL_A + "]", {FULL_A});
    expect_rejects("[" + FULL_A + "]", {FULL_SMALL_A});
}

TEST(RegexSearch, Lookaheads) {
    EXPECT_EQ(search("x(?=y)", "xy"), "[x]");
    EXPECT_EQ(search("x(?=y)", "xz"), "none");
    EXPECT_EQ(search("x(?!y)", "xz"), "[x]");
    EXPECT_EQ(search("x(?!y)", "x"), "[x]");
    EXPECT_EQ(search("x(?!y)", "xy"), "none");
    // A negative lookahead succeeds at once, whatever follows it.
    EXPECT_EQ(search("x(?!y)z", "xa"), "[x]");
    EXPECT_EQ(search("x(?!y)z", "xyz"), "none");
    // Not at the end, a positive lookahead consumes: only the reported end
    // differs from a group.
    EXPECT_EQ(search("(?=ab)c", "abc"), "[]");
    EXPECT_EQ(search("(?=ab)c", "abd"), "none");
    expect_passes("x(?=y)", {"xy"});
    expect_rejects("x(?=y)", {"xz"});
    expect_passes("x(?!y)", {"xz", "x"});
    expect_rejects("x(?!y)", {"xy"});
    expect_passes("x(?!y)z", {"xa"});
}

// When a negative lookahead's body matched, the marks its path set are put
// back; the described walk left them, and they then cut later paths, so that
// the lookahead wrongly held.
TEST(RegexSearch, FailedNegativeLookaheadLeavesNoMarks) {
    const struct {
        const char* pattern;
        const char* name;
    } cases[] = {{"(?!.*x)", "ax"}, {"(?!a?)", "ab"}, {"(?!a|)", "ab"}, {"[^a]?\?(?!)", "9a"}};
    for (const auto& c : cases) {
        EXPECT_EQ(search(c.pattern, c.name), "none") << c.pattern << " on " << c.name;
        expect_rejects(c.pattern, {c.name});

        // The walk as first described does find a match here.
        program_ptr program(regex_compile(c.pattern));
        test::reference_matcher_t described(program.get(), REGEX_STEP_LIMIT, false);
        EXPECT_TRUE(described.search(c.name).found) << c.pattern << " on " << c.name;
        test::reference_matcher_t mended(program.get(), REGEX_STEP_LIMIT, true);
        EXPECT_FALSE(mended.search(c.name).found) << c.pattern << " on " << c.name;
    }
}

TEST(RegexSearch, NestedRepetitionsEnd) {
    EXPECT_EQ(search("(a|)*b", "aab"), "[aab]");
    EXPECT_EQ(search("(a*)*b", "aab"), "[aab]");
    EXPECT_EQ(search("(a|)*b", "b"), "[b]");
    EXPECT_EQ(search("(a*)*b", "b"), "[b]");
    expect_passes("(a|)*b", {"aab", "b"});
    expect_passes("(a*)*b", {"aab", "b"});

    // Against 260 bytes these end with the exact answer, well inside the
    // budget, because failed walks are remembered.
    const std::string a260(260, 'a');
    for (const char* pattern : {"(a*)*b", "(a|a)*b", "(a|aa)*c", "(.*)*x", "a{0,500}b", "(|){25}b"}) {
        program_ptr program(regex_compile(pattern));
        regex_search_status_t status;
        EXPECT_EQ(regex_search(program.get(), a260.c_str(), &status), nullptr) << pattern;
        EXPECT_EQ(status, REGEX_NOT_FOUND) << pattern;
        EXPECT_LT(program->last_steps, REGEX_STEP_LIMIT / 4) << pattern;
    }
    EXPECT_EQ(search("a{0,500}", a260), "[" + a260 + "]");
    EXPECT_EQ(search("(a|aa)*c", a260 + "c"), "[" + a260 + "c]");
}

TEST(RegexSearch, StepBudget) {
    // With a negative lookahead and groups no failure can be remembered:
    // this one is exponential, and the search gives up.
    const std::string a260(260, 'a');
    program_ptr program(regex_compile("(a|a)*b(?!x)"));
    regex_search_status_t status;
    EXPECT_EQ(regex_search(program.get(), a260.c_str(), &status), nullptr);
    EXPECT_EQ(status, REGEX_GAVE_UP);
    EXPECT_EQ(program->last_steps, REGEX_STEP_LIMIT + 1);
    // The program is fine for the next name.
    regex_match_t* match = regex_search(program.get(), "aab", &status);
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(status, REGEX_FOUND);
    regex_match_free(match);

    // The same search with a budget that suffices gives the exact answer.
    EXPECT_EQ(search("(a|a)*b(?!x)", std::string(10, 'a'), 100000), "none");
    EXPECT_EQ(search("(a|a)*b(?!x)", std::string(10, 'a'), 1000), "gave up");

    // The filter keeps such a name, and says so in the trace.
    trace_capture trace;
    filter_regexp_t filter("(A|a)*B(?!x)");
    EXPECT_TRUE(filter.matches(("dir\\" + a260).c_str()));
    EXPECT_NE(trace.lines.find("(A|a)*B(?!x)"), std::string::npos) << trace.lines;
    EXPECT_NE(trace.lines.find(a260), std::string::npos) << trace.lines;
    EXPECT_EQ(trace.lines.find("dir\\"), std::string::npos) << trace.lines;
    trace.lines.clear();
    EXPECT_FALSE(filter.matches("aaax"));
    EXPECT_TRUE(filter.matches("aab"));
    EXPECT_EQ(trace.lines, "");
}

TEST(RegexFilter, TooLargeProgramPassesEveryNameWithATrace) {
    trace_capture trace;
    filter_regexp_t filter("x{200000}");
    EXPECT_TRUE(filter.matches("abc"));
    EXPECT_TRUE(filter.matches(""));
    EXPECT_NE(trace.lines.find("x{200000}"), std::string::npos) << trace.lines;

    // The factory makes this filter for the regular-expression kind.
    filter_t* made = create_filter(FILTER_REGEXP, "^A.*\\.TXT$");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->matches("abc.txt"));
    EXPECT_FALSE(made->matches("abc.txt.bak"));
    delete_filter(made);
    made = create_filter(FILTER_REGEXP, "");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->matches("abc"));
    delete_filter(made);
}

TEST(RegexFilter, TextIsCutTo521BytesWholeCharacters) {
    // 520 bytes of 'a', then 表: the cut would split 表, so it goes entirely.
    const std::string text = std::string(520, 'a') + HYO;
    expect_passes(text, {std::string(520, 'a')});
    const std::string longer = std::string(521, 'a') + "b";
    expect_passes(longer, {std::string(521, 'a')});
}

TEST(RegexClass, ItemsRangesAndEscapes) {
    struct class_case {
        const char* text;
        unsigned int code;
        bool expected;
    };
    const class_case cases[] = {
        {"abc", 'b', true},
        {"abc", 'd', false},
        {"a-c", 'b', true},
        {"a-c", 'B', true},  // a letter is in when either of its cases is
        {"^a-c", 'B', false},
        {"Z-a", 'z', true},  // the range Z to a holds Z, a and the signs between
        {"Z-a", 'A', true},
        {"Z-a", '_', true},
        {"Z-a", 'b', false},
        {"Z-a", 'Y', false},
        {"0-z", '~', false},
        {"^0-z", 'Q', false},
        {"c-a", 'b', false},  // a reversed range is empty
        {"^a-c", 'd', true},
        {"^a-c", 0x8260, true},
        {"a^", '^', true},     // "^" only negates at the start
        {"a-", '-', true},     // "-" at the end is a character
        {"a-\\d", '-', true},  // a class escape ends no range
        {"a-\\d", '5', true},
        {"a-\\d", 'b', false},
        {"\\d", '7', true},
        {"\\D", 'x', true},
        {"\\D", '7', false},
        {"\\D", 0x8260, true},
        {"\\w", '_', true},
        {"\\s", '\f', true},
        {"\\S", ' ', false},
        {"\\]", ']', true},
        {"\\-a", '-', true},
        {"!-\\-", ',', true},  // an escape that is one character ends a range
        {"\\n-\\r", '\x0B', true},
        {"\x82\x9F-\x82\xF1", 0x82A0, true},  // ぁ-ん
        {"\x82\x9F-\x82\xF1", 0x82F2, false},
        {"z-\x82\x9F", 0x8140, true},  // from a one-byte to a double-byte character
        {"z-\x82\x9F", 0xE0, true},
        {"z-\x82\x9F", 'y', false},
        {"", 'a', false},
        {"^", 'a', true},
        {"^", 0x8140, true},
    };
    for (const class_case& c : cases) {
        EXPECT_EQ(regex_class_match_code(c.text, c.code), c.expected)
            << "text '" << c.text << "' code 0x" << std::hex << c.code;
        EXPECT_EQ(test::reference_class_match(c.text, c.code), c.expected)
            << "reference, text '" << c.text << "' code 0x" << std::hex << c.code;
        regex_class_t* compiled = regex_class_new(c.text);
        ASSERT_NE(compiled, nullptr);
        EXPECT_EQ(regex_class_test(compiled, c.code), c.expected)
            << "compiled text '" << c.text << "' code 0x" << std::hex << c.code;
        regex_class_free(compiled);
    }
}

// The class read once at compile time, the text read at every test and the
// reference reading, on random texts.
TEST(RegexClass, CompiledClassAgreesWithTheText) {
    const char* pieces[] = {"a",        "z",        "A",        "Z",          "_",   "`",        "-",
                            "^",        "\\d",      "\\D",      "\\s",        "\\S", "\\w",      "\\W",
                            "\\-",      "\\]",      "\\",       "0",          "9",   "\x82\x60", "\x82\x9F",
                            "\x83\x41", "\xE0\x40", "\x81\x40", "\\\x82\x60", "\\n", "~",        "\x7F"};
    std::vector<unsigned int> codes;
    for (unsigned int code = 1; code < 256; ++code) codes.push_back(code);
    for (unsigned int code : {0x8140u, 0x815Fu, 0x8160u, 0x8260u, 0x829Fu, 0x82A0u, 0x8341u, 0x9FFCu, 0xE040u,
                              0xE041u, 0xFCFCu, 0x8100u, 0x823Fu})
        codes.push_back(code);
    std::mt19937 random(777);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = random() % 7;
        for (int i = 0; i < count; ++i) text += pieces[random() % (sizeof(pieces) / sizeof(pieces[0]))];
        // Only texts the bracket scan can produce: no lone backslash at the end.
        regex_token_t token;
        const std::string bracket = "[" + text + "]";
        regex_next_token(&token, bracket.c_str());
        if (token.type != TK_CLASS || token.text != text) continue;
        regex_class_t* compiled = regex_class_new(text.c_str());
        ASSERT_NE(compiled, nullptr);
        for (unsigned int code : codes) {
            const bool want = test::reference_class_match(text.c_str(), code);
            ASSERT_EQ(regex_class_match_code(text.c_str(), code), want)
                << "text '" << text << "' code 0x" << std::hex << code;
            ASSERT_EQ(regex_class_test(compiled, code), want)
                << "compiled, text '" << text << "' code 0x" << std::hex << code;
        }
        regex_class_free(compiled);
    }
}

TEST(RegexCharacters, HalfwidthTable) {
    // Every printable ASCII character and every one-byte katakana once.
    std::vector<int> seen(256, 0);
    for (size_t i = 0; i < HALFWIDTH_ROW_COUNT; ++i) {
        ++seen[halfwidth_table[i].half];
        if (i > 0) {
            EXPECT_LT(halfwidth_table[i - 1].full, halfwidth_table[i].full) << "row " << i;
        }
        EXPECT_EQ(to_halfwidth(halfwidth_table[i].full), halfwidth_table[i].half) << "row " << i;
    }
    for (int b = 0; b < 256; ++b) {
        const bool one_byte_form = (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
        EXPECT_EQ(seen[b], one_byte_form ? 1 : 0) << "one-byte form 0x" << std::hex << b;
    }
    EXPECT_EQ(to_halfwidth(0x8140), 0x20u);
    EXPECT_EQ(to_halfwidth(0x818F), 0x5Cu);
    EXPECT_EQ(to_halfwidth(0x818B), 0xDFu);
    EXPECT_EQ(to_halfwidth(0x8393), 0xDDu);
    EXPECT_EQ(to_halfwidth(0x8260), 0x41u);
    EXPECT_EQ(to_halfwidth(0x829A), 0x7Au);
    // Voiced katakana and the full-width sound marks have no one-byte form.
    EXPECT_EQ(to_halfwidth(0x834B), 0x834Bu);
    EXPECT_EQ(to_halfwidth(0x814A), 0x814Au);
    EXPECT_EQ(to_halfwidth(0x41), 0x41u);
    EXPECT_EQ(to_halfwidth(0x8394), 0x8394u);
}

// The transition's precomputed codes against the comparison as defined.
TEST(RegexCharacters, QuickCodesAgreeWithTheComparison) {
    std::vector<unsigned int> subjects;
    for (unsigned int code = 1; code < 256; ++code) subjects.push_back(code);
    for (unsigned int code = 0x8140; code <= 0x83FF; ++code) {
        if ((code & 0xFF) != 0) subjects.push_back(code);
    }
    for (unsigned int code : {0x889Fu, 0x955Cu, 0xE040u, 0xFCFCu}) subjects.push_back(code);
    std::vector<unsigned int> characters = subjects;
    for (unsigned int c : characters) {
        const unsigned char ch[2] = {(unsigned char)(c > 255 ? c >> 8 : c),
                                     (unsigned char)(c > 255 ? c & 0xFF : 0)};
        unsigned int codes[2];
        regex_char_codes(ch, RX_IGNORE_CASE, codes);
        for (unsigned int s : subjects) {
            char subject[3] = {(char)(s > 255 ? s >> 8 : s), (char)(s > 255 ? s & 0xFF : 0), 0};
            const bool quick = s == codes[0] || s == codes[1];
            ASSERT_EQ(quick, regex_char_equal(ch, subject, RX_IGNORE_CASE))
                << "character 0x" << std::hex << c << " subject 0x" << s;
        }
    }
}

// The search against the recursive reference: same result, same groups, and
// never more steps, on random patterns and names.
TEST(RegexSearch, SameResultsAsTheRecursiveWalk) {
    const char* pattern_pieces[] = {
        "a",        "b",        "A",      "(",    "(",     ")",     ")",   "(?=", "(?!",   "|",
        "|",        "*",        "+",      "?",    "*?",    "+?",    "??",  "{2}", "{0,2}", "{,2}?",
        "{1,}",     ".",        "[ab]",   "[^a]", "[a-c]", "^",     "$",   "\\d", "\\w",   "\\S",
        "\x82\x60", "\x82\x81", "\\\x81", "x",    "(a|)",  "(a*)*", "\\(", "{",   "[B-a]", "\\D"};
    const char* name_pieces[] = {"a",        "a",        "b",  "A",  "c", "1", "x",
                                 "\x82\x60", "\x82\x81", "\r", "\n", " ", "("};
    std::mt19937 random(20240607);
    const int64_t limit = 200000;
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string pattern;
        for (int i = 1 + random() % 10; i > 0; --i) {
            pattern += pattern_pieces[random() % (sizeof(pattern_pieces) / sizeof(pattern_pieces[0]))];
        }
        if (random() % 8 == 0) pattern += "\x81";
        program_ptr program(regex_compile(pattern.c_str()));
        ASSERT_TRUE(program) << pattern;
        program->step_limit = limit;
        for (int n = 0; n < 4; ++n) {
            std::string name;
            for (int i = random() % 12; i > 0; --i) {
                name += name_pieces[random() % (sizeof(name_pieces) / sizeof(name_pieces[0]))];
            }
            if (random() % 8 == 0) name += "\x81";
            test::reference_matcher_t reference(program.get(), limit);
            const test::reference_result_t want = reference.search(name.c_str());
            regex_search_status_t status;
            regex_match_t* got = regex_search(program.get(), name.c_str(), &status);
            const std::string where = "pattern '" + pattern + "' name '" + name + "'";
            ASSERT_LE(program->last_steps, want.steps) << where;
            if (want.gave_up) {
                regex_match_free(got);
                continue;
            }
            ++compared;
            ASSERT_EQ(got != nullptr, want.found) << where;
            ASSERT_EQ(status, want.found ? REGEX_FOUND : REGEX_NOT_FOUND) << where;
            if (got == nullptr) continue;
            for (int i = 0; i < got->slot_count; ++i) {
                EXPECT_EQ(got->slots[i].start, want.slots[i].start) << where << " slot " << i;
                EXPECT_EQ(got->slots[i].end, want.slots[i].end) << where << " slot " << i;
            }
            regex_match_free(got);
        }
    }
    EXPECT_GT(compared, 70000);
}
