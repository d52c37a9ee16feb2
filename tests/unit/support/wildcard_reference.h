// Reference matchers for the wildcard filter, for tests and fuzzers only.
//
// reference_wildcard_match is the plain recursive matcher that tries every
// split for every star: obviously right, exponential in the number of stars.
// reference_wildcard_table gives the same answers in time pattern x name, for
// inputs too large for the recursion.
#pragma once

#include <vector>

#include "filters/wildcard_filter.h"
#include "text/mbs.h"

namespace test {

inline unsigned int reference_fold(unsigned int code) {
    return (code <= 255 && code >= 'A' && code <= 'Z') ? code - 'A' + 'a' : code;
}

inline bool reference_wildcard_match(const char* pattern, const char* name) {
    for (;;) {
        const unsigned int c = mbs_char(pattern);
        if (c == 0) return *name == '\0';
        if (c == '*') {
            if (reference_wildcard_match(mbs_next(pattern), name))
                return true;  // the star takes nothing more
            if (*name == '\0') return false;
            return reference_wildcard_match(pattern, mbs_next(name));  // one more character
        }
        if (c == '?') {
            if (*name == '\0') return false;
            return reference_wildcard_match(mbs_next(pattern), mbs_next(name));
        }
        if (reference_fold(c) != reference_fold(mbs_char(name))) return false;
        pattern = mbs_next(pattern);
        name = mbs_next(name);
    }
}

// match[i][j]: the pattern from its character i matches the name from its
// character j; filled from the ends backwards.
inline bool reference_wildcard_table(const char* pattern, const char* name) {
    std::vector<unsigned int> p, n;
    for (const char* s = pattern; *s != '\0'; s = mbs_next(s)) p.push_back(mbs_char(s));
    for (const char* s = name; *s != '\0'; s = mbs_next(s)) n.push_back(reference_fold(mbs_char(s)));
    std::vector<char> next(n.size() + 1, 0), row(n.size() + 1, 0);
    next[n.size()] = 1;  // the empty pattern matches only the empty rest
    for (size_t i = p.size(); i-- > 0;) {
        for (size_t j = n.size() + 1; j-- > 0;) {
            if (p[i] == '*') {
                row[j] = next[j] || (j < n.size() && row[j + 1]);
            } else {
                row[j] = j < n.size() && (p[i] == '?' || reference_fold(p[i]) == n[j]) && next[j + 1];
            }
        }
        next.swap(row);
    }
    return next[0] != 0;
}

// The filter as first described: the list split afresh for every name.
template <typename Match>
bool reference_wildcard_list(const char* patterns, const char* name, Match match) {
    if (patterns == nullptr) return false;
    char item[PATH_BUFFER_SIZE];
    const char* cursor = patterns;
    while (cursor != nullptr) {
        cursor = next_pattern(cursor, item);
        if (match(item, name)) return true;
    }
    return false;
}

}  // namespace test
