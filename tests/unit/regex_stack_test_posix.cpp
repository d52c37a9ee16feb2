// The compiler and the search on a thread with a 1 MiB stack, the worker
// thread's stack on Windows: the deepest nesting, the longest chains and the
// largest counted repetitions a 521-byte filter text can hold. A recursion
// that grew with any of them would overflow here and end the test program.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>

#include "filters/regex/regex.h"
#include "filters/regex/regexp_filter.h"

namespace {

constexpr size_t WORKER_STACK_SIZE = 1024 * 1024;

void run_with_stack(size_t stack_size, const std::function<void()>& work) {
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, stack_size), 0);
    pthread_t thread;
    auto start = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, start, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

std::string repeat(const std::string& s, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += s;
    return out;
}

struct deep_case {
    std::string pattern;
    std::string name;
    std::string expected;  // the matched text in brackets, "none", or "no program"
};

std::string search_on_this_thread(const deep_case& c) {
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

}  // namespace

TEST(RegexStack, DeepPatternsOnAOneMegabyteStack) {
    const std::string a260(260, 'a');
    const std::string name521 = repeat("ab", 260) + "c";
    const deep_case cases[] = {
        // 521 parentheses that never close: each is found out once.
        {std::string(521, '('), std::string(521, '('), "[" + std::string(521, '(') + "]"},
        // 260 nested groups around one character.
        {std::string(260, '(') + "a" + std::string(260, ')'), "xa", "[a]"},
        // Nested lookaheads and alternations.
        {repeat("(?=", 130) + std::string(130, ')') + "b", "ab", "[]"},
        {repeat("(a|", 130) + std::string(130, ')') + "c", "c", "[c]"},
        // Nested repetitions: a deep tree and a deep search.
        {std::string(173, '(') + "a*" + repeat(")*", 173), a260, "[" + a260 + "]"},
        // Exponential in the nesting: the budget ends it, deep in the search.
        {std::string(172, '(') + "a*" + repeat(")*", 172) + "b", a260, "gave up"},
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
    std::string results[sizeof(cases) / sizeof(cases[0])];
    run_with_stack(WORKER_STACK_SIZE, [&] {
        for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
            results[i] = search_on_this_thread(cases[i]);
    });
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EXPECT_LE(cases[i].pattern.size(), 521u) << "case " << i;
        EXPECT_EQ(results[i], cases[i].expected)
            << "case " << i << ", pattern of " << cases[i].pattern.size() << " bytes beginning '"
            << cases[i].pattern.substr(0, 20) << "'";
    }
}

TEST(RegexStack, FilterOnAOneMegabyteStack) {
    bool deep_group = false, long_name = false;
    run_with_stack(WORKER_STACK_SIZE, [&] {
        filter_regexp_t nested((std::string(260, '(') + "A" + std::string(260, ')')).c_str());
        deep_group = nested.matches("dir\\xa");
        filter_regexp_t counted("^a{0,30000}$");
        long_name = counted.matches(std::string(521, 'a').c_str());
    });
    EXPECT_TRUE(deep_group);
    EXPECT_TRUE(long_name);
}
