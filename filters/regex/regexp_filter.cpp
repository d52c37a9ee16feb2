// The regular-expression filter.
#include "filters/regex/regexp_filter.h"

#include "TOOLS/toolwind/toolwind.h"

filter_regexp_t::filter_regexp_t(const char* text) : program(nullptr) {
    // Compiled as typed: letters match either case in the search itself,
    // while '\D' and '\d' must stay apart.
    str_copy_bounded(pattern, text, sizeof(pattern));
    if (pattern[0] == '\0') return;
    regex_compile_status_t status = REGEX_COMPILED;
    program = regex_compile(pattern, &status);
    if (program == nullptr) {
        GetTraceProc()("regexp filter: %s, every name passes: %s\r\n",
                       status == REGEX_TOO_LARGE ? "pattern too large" : "out of memory", pattern);
    }
}

filter_regexp_t::~filter_regexp_t() {
    if (program != nullptr) {
        regex_free(program);
        program = nullptr;
    }
}

bool filter_regexp_t::matches(const char* name) {
    const char* subject = path_find_name(name);
    if (program == nullptr) return true;
    regex_search_status_t status = REGEX_NOT_FOUND;
    regex_match_t* match = regex_search(program, subject, &status);
    if (match == nullptr) {
        if (status != REGEX_GAVE_UP) return false;
        GetTraceProc()("regexp filter: search gave up after %lld steps, name kept: pattern %s name %s\r\n",
                       (long long)program->last_steps, pattern, subject);
        return true;
    }
    regex_match_free(match);
    return true;
}
