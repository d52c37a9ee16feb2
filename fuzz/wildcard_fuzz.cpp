// Fuzzes the wildcard filter: the input is a pattern list, a NUL byte and a
// name (no NUL: the whole input is the list and the name is empty).
//
// The filter must give the answer of the plain recursive matcher on the list
// split afresh for the name. The recursion is used when its cost is small;
// otherwise the table matcher, which answers the same in polynomial time.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/settings.h"
#include "filters/filter.h"
#include "filters/wildcard_filter.h"
#include "tests/unit/support/wildcard_reference.h"
#include "text/mbs.h"

namespace {

// An upper bound on the recursive matcher's calls for one item against the
// name: every star may end at every later name position, so the splits number
// at most (stars + characters choose stars). Saturates at `limit`.
bool recursion_is_cheap(const char* pattern, const char* name, double limit) {
    size_t stars = 0, chars = 0;
    for (const char* p = pattern; *p != '\0'; p = mbs_next(p)) stars += mbs_char(p) == '*';
    for (const char* n = name; *n != '\0'; n = mbs_next(n)) ++chars;
    double splits = 1;
    for (size_t k = 1; k <= stars; ++k) {
        splits = splits * (double)(chars + k) / (double)k;
        if (splits > limit) return false;
    }
    return splits * (double)(chars + 1) <= limit;
}

bool reference_match(const char* pattern, const char* name) {
    if (recursion_is_cheap(pattern, name, 20000)) return test::reference_wildcard_match(pattern, name);
    return test::reference_wildcard_table(pattern, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input((const char*)data, size);
    const size_t split = input.find('\0');
    const std::string text = input.substr(0, split);
    const std::string name = split == std::string::npos ? std::string() : input.substr(split + 1).c_str();

    filter_t* filter = create_filter(FILTER_WILDCARD, text.c_str());
    if (filter == nullptr) return 0;
    const bool got = filter->matches(name.c_str());
    delete_filter(filter);

    const bool expected = test::reference_wildcard_list(text.c_str(), name.c_str(), reference_match);
    if (got != expected) {
        fprintf(stderr, "wildcard filter: list '%s' name '%s': got %d, expected %d\n", text.c_str(),
                name.c_str(), got, expected);
        abort();
    }
    // The name alone as a pattern matches itself, whatever its bytes.
    if (!wildcard_match(name.c_str(), name.c_str())) {
        fprintf(stderr, "wildcard filter: name '%s' does not match itself\n", name.c_str());
        abort();
    }
    return 0;
}
