// The deepest nesting, the longest chains and the largest counted
// repetitions a 521-byte filter text can hold, with the names to search and
// what the search must find. The stack tests run them on a thread with the
// worker thread's 1 MiB stack: a recursion that grew with any of them would
// overflow there and end the test program.
#pragma once

#include <string>
#include <vector>

#include "filters/regex/regex.h"
#include "filters/regex/regexp_filter.h"

namespace test {

struct regex_deep_case {
    std::string pattern;
    std::string name;
    std::string expected;  // the matched text in brackets, "none", "gave up" or "no program"
};

inline std::string regex_repeat(const std::string& s, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += s;
    return out;
}

inline std::vector<regex_deep_case> regex_deep_cases() {
    const std::string a260(260, 'a');
    const std::string name521 = regex_repeat("ab", 260) + "c";
    return {
        // 521 parentheses that never close: each is found out once.
        {std::string(521, '('), std::string(521, '('), "[" + std::string(521, '(') + "]"},
        // 260 nested groups around one character.
        {std::string(260, '(') + "a" + std::string(260, ')'), "xa", "[a]"},
        // Nested lookaheads and alternations.
        {regex_repeat("(?=", 130) + std::string(130, ')') + "b", "ab", "[]"},
        {regex_repeat("(a|", 130) + std::string(130, ')') + "c", "c", "[c]"},
        // Nested repetitions: a deep tree and a deep search.
        {std::string(173, '(') + "a*" + regex_repeat(")*", 173), a260, "[" + a260 + "]"},
        // Exponential in the nesting: the budget ends it, deep in the search.
        {std::string(172, '(') + "a*" + regex_repeat(")*", 172) + "b", a260, "gave up"},
        // Long chains: a 521-character concatenation, and 30,000 copies.
        {name521, name521, "[" + name521 + "]"},
        {"a{0,30000}", a260, "[" + a260 + "]"},
        {"a{0,30000}b", a260 + "b", "[" + a260 + "b]"},
        {"(a{0,9999}){9}$", a260, "[" + a260 + "]"},
        {"(((x{9}){9}){9}){9}", "x", "none"},
        {"[" + std::string(511, 'a') + "]+", a260, "[" + a260 + "]"},
        // Too large: refused, whatever the nesting.
        {"((a{0,99}){99}){99}", "a", "no program"},
    };
}

// What the search finds, compiled and searched on the calling thread.
inline std::string regex_deep_search(const regex_deep_case& c) {
    regex_program_t* program = regex_compile(c.pattern.c_str());
    if (program == nullptr) return "no program";
    regex_search_status_t status;
    regex_match_t* match = regex_search(program, c.name.c_str(), &status);
    std::string result = status == REGEX_GAVE_UP ? "gave up" : "none";
    if (match != nullptr) result = "[" + std::string(match->slots[0].start, match->slots[0].end) + "]";
    regex_match_free(match);
    regex_free(program);
    return result;
}

// Every deep case and two deep filters; one result line per case.
inline std::vector<std::string> regex_deep_results() {
    std::vector<std::string> results;
    for (const regex_deep_case& c : regex_deep_cases()) results.push_back(regex_deep_search(c));
    filter_regexp_t nested((std::string(260, '(') + "A" + std::string(260, ')')).c_str());
    results.push_back(nested.matches("dir\\xa") ? "filter passes" : "filter rejects");
    filter_regexp_t counted("^a{0,30000}$");
    results.push_back(counted.matches(std::string(521, 'a').c_str()) ? "filter passes" : "filter rejects");
    return results;
}

inline std::vector<std::string> regex_deep_expected() {
    std::vector<std::string> expected;
    for (const regex_deep_case& c : regex_deep_cases()) expected.push_back(c.expected);
    expected.push_back("filter passes");
    expected.push_back("filter passes");
    return expected;
}

}  // namespace test
