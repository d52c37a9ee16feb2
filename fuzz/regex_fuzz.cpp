// Fuzzes the regular-expression compiler and search: the input is a pattern,
// a NUL byte and a name (no NUL: the whole input is the pattern and the name
// is empty). Both are cut to 521 bytes, as the filter and the listing do,
// and the pattern is compiled as typed, as the filter compiles it.
//
// Every pattern must compile (or be refused as too large) and search without
// a crash or an overflow of the 1 MiB stack the runs get. Small cases are
// also checked against the reference parser and the recursive matcher, and
// every bracket text, for each character of the name in both letter cases,
// against the reference reading and the engine's own reading of the text.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "filters/regex/regex.h"
#include "filters/regex/regex_internal.h"
#include "tests/unit/support/regex_reference.h"
#include "text/mbs.h"

namespace {

// The search's own budget here: enough for real work, small enough that an
// exponential case does not slow the fuzzer down.
constexpr int64_t FUZZ_STEP_LIMIT = 100000;
// The recursive reference runs only this many steps (and so recursion
// levels) deep, which fits the stack.
constexpr int64_t REFERENCE_STEP_LIMIT = 1000;

void fail(const char* what, const char* pattern, const char* name) {
    fprintf(stderr, "regex_fuzz: %s\npattern: '%s'\nname: '%s'\n", what, pattern, name);
    abort();
}

bool within(const char* p, const char* subject, const char* end) {
    return p == nullptr || (p >= subject && p <= end);
}

// The reference parser re-parses after every unclosed "(": only for few.
bool reference_parse_is_cheap(const char* pattern, const regex_program_t* program) {
    size_t opens = 0;
    for (const char* p = pattern; *p != '\0'; ++p) opens += *p == '(';
    return opens <= 10 && strlen(pattern) <= 64 && program->graph->count <= 500;
}

void check_tree(const char* pattern, int32_t slot_count, const char* name) {
    int want_counter = 0;
    test::reference_parser_t reference(pattern);
    test::reference_tree_t want = reference.parse(&want_counter);
    regex_parser_t parser;
    if (!regex_parser_init(&parser, pattern)) return;
    int32_t counter = 0;
    regex_node_t* got = regex_parse(&parser, &counter);
    if (got != nullptr) {
        const std::string difference = test::reference_tree_difference(want.get(), got);
        if (!difference.empty()) fail(("tree differs: " + difference).c_str(), pattern, name);
        if (counter != want_counter || counter + 1 != slot_count) fail("group count differs", pattern, name);
    }
    node_free(&parser, got);
    regex_parser_release(&parser);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input((const char*)data, size);
    const size_t split = input.find('\0');
    std::string pattern_text = input.substr(0, split);
    std::string name_text = split == std::string::npos ? "" : input.substr(split + 1);
    const size_t name_end = name_text.find('\0');
    if (name_end != std::string::npos) name_text.resize(name_end);

    char pattern[PATH_BUFFER_SIZE], name[PATH_BUFFER_SIZE];
    str_copy_bounded(pattern, pattern_text.c_str(), sizeof(pattern));
    str_copy_bounded(name, name_text.c_str(), sizeof(name));

    regex_compile_status_t compile_status;
    regex_program_t* program = regex_compile(pattern, &compile_status);
    if (program == nullptr) {
        if (compile_status != REGEX_TOO_LARGE) fail("no program", pattern, name);
        return 0;
    }
    if (program->graph->count > REGEX_MAX_STATES || !program->graph->states[1].is_final) {
        fail("bad graph", pattern, name);
    }

    for (const regex_class_t* c = program->classes; c != nullptr; c = c->next) {
        for (const char* p = name; *p != '\0'; p = mbs_next(p)) {
            const unsigned int code = mbs_char(p);
            // The code, and the code 0x20 away: for a letter, its other case.
            for (const unsigned int s : {code, code ^ 0x20u}) {
                if (s == 0) continue;  // the terminator is no character
                const bool want = test::reference_class_match(c->text, s);
                if (regex_class_match_code(c->text, s) != want) fail("class reading differs", pattern, name);
                if (regex_class_test(c, s) != want) fail("compiled class differs", pattern, name);
            }
        }
    }

    const char* end = str_end(name);
    program->step_limit = FUZZ_STEP_LIMIT;
    regex_search_status_t status;
    regex_match_t* match = regex_search(program, name, &status);
    if ((match != nullptr) != (status == REGEX_FOUND)) fail("status and result disagree", pattern, name);
    if (match != nullptr) {
        if (match->slot_count != program->slot_count) fail("slot count", pattern, name);
        for (int32_t i = 0; i < match->slot_count; ++i) {
            if (!within(match->slots[i].start, name, end) || !within(match->slots[i].end, name, end)) {
                fail("slot outside the name", pattern, name);
            }
        }
        if (match->slots[0].start == nullptr || match->slots[0].end == nullptr)
            fail("no whole match", pattern, name);
    }
    regex_match_free(match);

    // Against the recursive walk, within its small budget.
    program->step_limit = REFERENCE_STEP_LIMIT;
    test::reference_matcher_t reference(program, REFERENCE_STEP_LIMIT);
    const test::reference_result_t want = reference.search(name);
    match = regex_search(program, name, &status);
    if (program->last_steps > want.steps) fail("more steps than the recursive walk", pattern, name);
    if (!want.gave_up) {
        if ((match != nullptr) != want.found) fail("result differs from the recursive walk", pattern, name);
        for (int32_t i = 0; match != nullptr && i < match->slot_count; ++i) {
            if (match->slots[i].start != want.slots[i].start || match->slots[i].end != want.slots[i].end) {
                fail("groups differ from the recursive walk", pattern, name);
            }
        }
    }
    regex_match_free(match);

    if (reference_parse_is_cheap(pattern, program)) check_tree(pattern, program->slot_count, name);
    regex_free(program);
    return 0;
}
