// The regular-expression compiler: tokens, the compiled graphs of small
// patterns (state count and each state's transitions in try order), group
// numbering, the literal readings of malformed text, and the size bounds.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "filters/regex/regex.h"
#include "filters/regex/regex_internal.h"
#include "support/regex_reference.h"

namespace {

struct program_deleter {
    void operator()(regex_program_t* program) const { regex_free(program); }
};
using program_ptr = std::unique_ptr<regex_program_t, program_deleter>;

program_ptr compile(const std::string& pattern, regex_compile_status_t* status = nullptr) {
    return program_ptr(regex_compile(pattern.c_str(), status));
}

std::string dump(const std::string& pattern) {
    program_ptr program = compile(pattern);
    if (!program) return "(no program)";
    std::string text(regex_dump(program.get(), nullptr, 0), '\0');
    regex_dump(program.get(), &text[0], text.size() + 1);
    return text;
}

regex_token_t token_at(const char* text, const char** end = nullptr) {
    regex_token_t token;
    const char* after = regex_next_token(&token, text);
    if (end != nullptr) *end = after;
    return token;
}

// The groups of the first match, as "start-end" offsets, slot 0 first;
// "-" for a slot that is not set, "none" without a match.
std::string groups(const std::string& pattern, const std::string& subject) {
    program_ptr program = compile(pattern);
    regex_match_t* match = regex_search(program.get(), subject.c_str());
    if (match == nullptr) return "none";
    std::string out;
    for (int i = 0; i < match->slot_count; ++i) {
        const regex_span_t& slot = match->slots[i];
        if (!out.empty()) out += " ";
        auto offset = [&](const char* p) {
            return p ? std::to_string(p - subject.c_str()) : std::string("?");
        };
        out += slot.start || slot.end ? offset(slot.start) + "-" + offset(slot.end) : "-";
    }
    regex_match_free(match);
    return out;
}

}  // namespace

TEST(RegexTokens, OperatorsLongestFirstAndCountedQuantifiers) {
    EXPECT_EQ(token_at("(?=x").type, TK_AHEAD);
    EXPECT_EQ(token_at("(?!x").type, TK_NOT_AHEAD);
    EXPECT_EQ(token_at("(?x").type, TK_OPEN);
    EXPECT_EQ(token_at("*?").type, TK_LAZY_STAR);
    EXPECT_EQ(token_at("??").type, TK_LAZY_OPT);
    EXPECT_EQ(token_at("").type, TK_END);

    struct counted_case {
        const char* text;
        int type, min, max;
        size_t length;
    };
    const counted_case cases[] = {
        {"{3}", TK_COUNT, 3, 3, 3},        {"{3,}", TK_COUNT, 3, 0, 4},  {"{3,5}", TK_COUNT, 3, 5, 5},
        {"{,5}", TK_COUNT, 0, 5, 4},       {"{}", TK_COUNT, 0, 0, 2},    {"{,}", TK_COUNT, 0, 0, 3},
        {"{2}?x", TK_LAZY_COUNT, 2, 2, 4}, {"{3, 5}", TK_CHAR, 0, 0, 1}, {"{x}", TK_CHAR, 0, 0, 1},
        {"{", TK_CHAR, 0, 0, 1},           {"{12", TK_CHAR, 0, 0, 1},
    };
    for (const counted_case& c : cases) {
        const char* end;
        const regex_token_t token = token_at(c.text, &end);
        EXPECT_EQ(token.type, c.type) << c.text;
        EXPECT_EQ(token.min, c.min) << c.text;
        EXPECT_EQ(token.max, c.max) << c.text;
        EXPECT_EQ((size_t)(end - c.text), c.length) << c.text;
    }
    // Counts wrap as 32-bit integers do, whatever the number of digits.
    EXPECT_EQ(token_at("{4294967297}").min, 1);
}

TEST(RegexTokens, BracketsAndEscapes) {
    const char* end;
    regex_token_t token = token_at("[\\]]x", &end);
    EXPECT_EQ(token.type, TK_CLASS);
    EXPECT_STREQ(token.text, "\\]");
    EXPECT_EQ(*end, 'x');

    token = token_at("[]a]");
    EXPECT_EQ(token.type, TK_CLASS);
    EXPECT_STREQ(token.text, "");

    // The second byte of a double-byte character never ends the bracket.
    token = token_at("[\x81]]");
    EXPECT_EQ(token.type, TK_CLASS);
    EXPECT_STREQ(token.text, "\x81]");

    for (const char* unterminated : {"[abc", "[", "[ab\\", "[ab\\]"}) {
        token = token_at(unterminated, &end);
        EXPECT_EQ(token.type, TK_CHAR) << unterminated;
        EXPECT_EQ(token.ch[0], '[') << unterminated;
        EXPECT_EQ(end, unterminated + 1) << unterminated;
    }

    // 511 bytes of bracket text fit the token; 512 read as a literal "[".
    const std::string fits = "[" + std::string(511, 'a') + "]";
    token = token_at(fits.c_str());
    EXPECT_EQ(token.type, TK_CLASS);
    EXPECT_EQ(strlen(token.text), 511u);
    const std::string too_long = "[" + std::string(512, 'a') + "]";
    token = token_at(too_long.c_str(), &end);
    EXPECT_EQ(token.type, TK_CHAR);
    EXPECT_EQ(end, too_long.c_str() + 1);
    // An escape is never cut in two by that bound either.
    const std::string escape_at_bound = "[" + std::string(510, 'a') + "\\]]";
    token = token_at(escape_at_bound.c_str());
    EXPECT_EQ(token.type, TK_CHAR);

    token = token_at("\\d");
    EXPECT_EQ(token.type, TK_CLASS);
    EXPECT_STREQ(token.text, "0-9");
    token = token_at("\\S");
    EXPECT_EQ(token.type, TK_CLASS);
    EXPECT_STREQ(token.text, "^ \t\n\r\f");
    token = token_at("\\n");
    EXPECT_EQ(token.type, TK_CHAR);
    EXPECT_EQ(token.ch[0], '\n');
    token = token_at("\\\x95\x5C");
    EXPECT_EQ(token.type, TK_CHAR);
    EXPECT_EQ(token.ch[0], 0x95);
    EXPECT_EQ(token.ch[1], 0x5C);
    token = token_at("\\");
    EXPECT_EQ(token.type, TK_ESCAPE);
    EXPECT_EQ(token.ch[0], '\\');
    // A lead byte with nothing after it is a one-byte character.
    token = token_at("\\\x81");
    EXPECT_EQ(token.type, TK_CHAR);
    EXPECT_EQ(token.ch[0], 0x81);
    EXPECT_EQ(token.ch[1], 0);
    token = token_at("\x81");
    EXPECT_EQ(token.type, TK_CHAR);
    EXPECT_EQ(token.length, 1);
}

TEST(RegexGraph, TransitionsInTryOrder) {
    EXPECT_EQ(dump(""), "states 2\n0: e>1\n1:\n");
    EXPECT_EQ(dump("ab"), "states 3\n0: 'a'>2\n1:\n2: 'b'>1\n");
    EXPECT_EQ(dump("a*"), "states 4\n0: *>2\n1:\n2: 'a'>3 *>1\n3: *>2\n");
    EXPECT_EQ(dump("a*?"), "states 4\n0: *?>2\n1:\n2: *?>1 'a'>3\n3: *?>2\n");
    EXPECT_EQ(dump("a+"), "states 5\n0: 'a'>2\n1:\n2: *>3\n3: 'a'>4 *>1\n4: *>3\n");
    EXPECT_EQ(dump("a|b|c"), "states 2\n0: 'a'>1 'b'>1 'c'>1\n1:\n");
    EXPECT_EQ(dump("a|"), "states 2\n0: 'a'>1 e>1\n1:\n");
    EXPECT_EQ(dump("a?"), "states 2\n0: 'a'>1 e>1\n1:\n");
    EXPECT_EQ(dump("a??"), "states 2\n0: e>1 'a'>1\n1:\n");
    EXPECT_EQ(dump("(a)?"), "states 4\n0: (1>2 e>1\n1:\n2: 'a'>3\n3: )1>1\n");
    EXPECT_EQ(dump("x{2,3}"), "states 5\n0: 'x'>2\n1:\n2: 'x'>3\n3: e>4\n4: 'x'>1 e>1\n");
    EXPECT_EQ(dump("x{1,2}?"), "states 4\n0: 'x'>2\n1:\n2: e>3\n3: e>1 'x'>1\n");
    EXPECT_EQ(dump("(?=a)b"), "states 5\n0: (?=>3\n1:\n2: 'b'>1\n3: 'a'>4\n4: =)>2\n");
    EXPECT_EQ(dump("(?!a)"), "states 4\n0: (?!>2\n1:\n2: 'a'>3\n3: !)>1\n");
    EXPECT_EQ(dump("^[a-c].$"), "states 5\n0: ^>4\n1:\n2: $>1\n3: .>2\n4: [a-c]>3\n");
    // An unclosed "(" is a literal "(" followed by the rest of the text.
    EXPECT_EQ(dump("(ab"), "states 4\n0: '('>3\n1:\n2: 'b'>1\n3: 'a'>2\n");
    EXPECT_EQ(dump("\x82\x60"), "states 2\n0: '\\x82`'>1\n1:\n");
}

TEST(RegexGraph, CountedQuantifiersRepeatTheOperand) {
    // m copies in front of an empty tail; an upper bound below m is ignored.
    EXPECT_EQ(dump("x{3,1}"), "states 5\n0: 'x'>2\n1:\n2: 'x'>3\n3: 'x'>4\n4: e>1\n");
    EXPECT_EQ(dump("x{3,1}"), dump("x{3}"));
    EXPECT_EQ(dump("x{0}"), dump("x{}"));
    EXPECT_EQ(dump("x{5,0}"), dump("x{5,}"));
    // No upper bound: an optional repetition, 'x*' wrapped in '(|...)'.
    EXPECT_EQ(dump("x{0}"), "states 4\n0: *>2 e>1\n1:\n2: 'x'>3 *>1\n3: *>2\n");
    // '{2, 3}' is text: seven literal characters.
    EXPECT_EQ(dump("x{2, 3}"), dump("x\\{2, 3}"));
    program_ptr program = compile("x{2, 3}");
    EXPECT_EQ(program->graph->count, 8);
    // A quantifier with nothing to repeat is its literal first byte.
    EXPECT_EQ(dump("*x"), dump("\\*x"));
    EXPECT_EQ(dump("+?"), dump("\\+?"));
    EXPECT_EQ(dump("x**"), dump("x*\\*"));
    EXPECT_EQ(dump("x{2}{3}"), "states 7\n0: 'x'>5\n1:\n2: '}'>1\n3: '3'>2\n4: '{'>3\n5: 'x'>6\n6: e>4\n");
    EXPECT_EQ(dump("a)"), dump("a\\)"));
}

TEST(RegexGroups, NumberedByOpeningParenthesis) {
    EXPECT_EQ(groups("((a)(b))", "ab"), "0-2 0-2 0-1 1-2");
    EXPECT_EQ(groups("(?=(a))(b)", "ab"), "0-0 0-1 1-2");
    EXPECT_EQ(groups("(a)b)", "ab)"), "0-3 0-1");
    // A group that does not close takes no number; the groups inside it
    // are numbered again as if it were not there.
    EXPECT_EQ(groups("(x(a)", "(xa"), "0-3 2-3");
    EXPECT_EQ(groups("((a)(b)", "(ab"), "0-3 1-2 2-3");
    EXPECT_EQ(groups("(((a)", "((a"), "0-3 2-3");
    EXPECT_EQ(groups("((a)|(b)", "(b"), "1-2 - 1-2");
    EXPECT_EQ(groups("((a)|(b)", "(a"), "0-2 1-2 -");
    program_ptr program = compile("((a)(b))");
    EXPECT_EQ(program->slot_count, 4);
    program = compile("((a)(b)");
    EXPECT_EQ(program->slot_count, 3);
    // A repeated group keeps its last repetition.
    EXPECT_EQ(groups("(a|b)*c", "abc"), "0-3 1-2");
}

TEST(RegexCompile, ManyUnclosedParenthesesCompileLikeTheirReparse) {
    // Each unclosed "(" is a literal; 300 of them in front of a group give
    // the group number 1 and a chain of literal characters.
    const std::string text = std::string(300, '(') + "(a)";
    program_ptr program = compile(text);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->slot_count, 2);
    EXPECT_EQ(program->graph->count, 2 + 300 + 2);
    EXPECT_EQ(groups(text, std::string(300, '(') + "a"), "0-301 300-301");
    // Only the innermost of 201 nested parentheses closes.
    const std::string nested = "(" + std::string(200, '(') + "x)";
    EXPECT_EQ(groups(nested, std::string(201, '(') + "x"), "1-202 201-202");
}

// The compiler's tree against the reference parser, which re-parses the text
// after every "(" that does not close, on random patterns made of the
// dialect's pieces.
TEST(RegexCompile, SameTreeAsTheReparsingParser) {
    const char* pieces[] = {"a",     "b",    "(", "(",   ")",  "(?=",  "(?!",      "|",
                            "*",     "+",    "?", "*?",  "+?", "??",   "{2}",      "{1,2}",
                            "{,2}?", "{2,}", "{", "}",   ".",  "[ab]", "[^a]",     "[",
                            "]",     "^",    "$", "\\d", "\\", "\\(",  "\x82\x60", "\x81"};
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string pattern;
        const int count = 1 + random() % 12;
        for (int i = 0; i < count; ++i) pattern += pieces[random() % (sizeof(pieces) / sizeof(pieces[0]))];

        int want_counter = 0;
        test::reference_parser_t reference(pattern.c_str());
        test::reference_tree_t want = reference.parse(&want_counter);

        regex_parser_t parser;
        ASSERT_TRUE(regex_parser_init(&parser, pattern.c_str()));
        int32_t got_counter = 0;
        regex_node_t* got = regex_parse(&parser, &got_counter);
        EXPECT_EQ(test::reference_tree_difference(want.get(), got), "") << "pattern '" << pattern << "'";
        EXPECT_EQ(got_counter, want_counter) << "pattern '" << pattern << "'";
        node_free(&parser, got);
        EXPECT_EQ(parser.live_nodes, 0);
        regex_parser_release(&parser);
    }
}

TEST(RegexCompile, SizeBounds) {
    regex_compile_status_t status = REGEX_COMPILED;
    program_ptr program = compile("a{0,30000}", &status);
    ASSERT_TRUE(program);
    EXPECT_EQ(status, REGEX_COMPILED);
    EXPECT_EQ(program->graph->count, 30002);

    program = compile("a{100000}", &status);
    EXPECT_FALSE(program);
    EXPECT_EQ(status, REGEX_TOO_LARGE);
    // Counts that no memory could hold stop at the bound, not at the count.
    for (const char* huge : {"a{2147483647}", "a{0,2147483647}", "(a{0,1000}){1000}", "((a|b|c|d){999}){999}",
                             "a{4294967295,2147483647}"}) {
        program = compile(huge, &status);
        EXPECT_FALSE(program) << huge;
        EXPECT_EQ(status, REGEX_TOO_LARGE) << huge;
    }
    // Wrapped to -1, a negative count repeats nothing: '{4294967295}' is
    // an empty repetition.
    EXPECT_EQ(dump("a{4294967295}b"), "states 3\n0: e>2\n1:\n2: 'b'>1\n");
}
