// The regular-expression filter: a name passes when the pattern matches
// anywhere in it ('^' and '$' ask for the whole name).
#pragma once

#include "filters/filter.h"
#include "filters/regex/regex.h"
#include "text/mbs.h"

class filter_regexp_t final : public filter_t {
public:
    // Compiles the text (cut to 521 bytes, letter case kept). An empty text,
    // or one that compiles to no program, passes every name.
    explicit filter_regexp_t(const char* text);
    ~filter_regexp_t() override;
    filter_regexp_t(const filter_regexp_t&) = delete;
    filter_regexp_t& operator=(const filter_regexp_t&) = delete;

    // Tests the name part after the last backslash. A search that runs out
    // of steps keeps the name, with a trace line.
    bool matches(const char* name) override;

private:
    regex_program_t* program;
    char pattern[PATH_BUFFER_SIZE];  // as compiled, for the trace
};
