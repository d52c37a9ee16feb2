// The wildcard filter and its matcher.
#include "filters/wildcard_filter.h"

#include <string.h>

#include <new>

#include "text/mbs.h"

filter_wildcard_t::filter_wildcard_t(const char* text) : patterns(nullptr), items(nullptr), item_count(0) {
    if (text == nullptr) return;
    const size_t text_size = (size_t)(str_end(text) - text) + 1;
    patterns = new (std::nothrow) char[text_size];
    if (patterns == nullptr) return;
    memcpy(patterns, text, text_size);

    // Every test would split the list the same way, so split it once: first
    // to size the block, then to fill it. next_pattern writes a whole
    // PATH_BUFFER_SIZE buffer, hence the copy through `item`.
    char item[PATH_BUFFER_SIZE];
    size_t block_size = 0;
    const char* cursor = patterns;
    do {
        cursor = next_pattern(cursor, item);
        block_size += strlen(item) + 1;
    } while (cursor != nullptr);

    items = new (std::nothrow) char[block_size];
    if (items == nullptr) {
        delete[] patterns;
        patterns = nullptr;
        return;
    }
    char* out = items;
    cursor = patterns;
    do {
        cursor = next_pattern(cursor, item);
        const size_t item_size = strlen(item) + 1;
        memcpy(out, item, item_size);
        out += item_size;
        ++item_count;
    } while (cursor != nullptr);
}

filter_wildcard_t::~filter_wildcard_t() {
    delete[] items;
    items = nullptr;
    item_count = 0;
    delete[] patterns;
    patterns = nullptr;
}

bool filter_wildcard_t::matches(const char* name) {
    const char* item = items;
    for (size_t i = 0; i < item_count; ++i) {
        if (wildcard_match(item, name)) return true;
        item = str_end(item) + 1;
    }
    return false;
}

const char* next_pattern(const char* cursor, char* buffer) {
    const char* start = cursor + mbs_spn(cursor, PATTERN_SEPARATORS);
    const char* end = mbs_find_delim(start);
    if (end != nullptr) {
        str_copy_span(buffer, start, end);  // cut at 521 bytes, even inside a character
    } else {
        str_copy_bounded(buffer, start, PATH_BUFFER_SIZE);
    }
    mbs_lower(buffer);
    return end;
}

namespace {

// Only the one-byte ASCII letters fold; double-byte codes are above 255.
inline unsigned int fold_case(unsigned int code) {
    return (code >= 'A' && code <= 'Z') ? code + ('a' - 'A') : code;
}

}  // namespace

// Greedy, backtracking to the last star only. Between two stars the pattern
// is a run of literals and "?" of fixed length in characters. The first place
// found for each run is its leftmost one, and moving a run further right never
// helps the runs after it: the star between them can take the difference. So
// when a literal or "?" fails, only the last star takes one character more and
// the runs before it stay where they first matched. This accepts exactly the
// names that trying every split of every star accepts, in time bounded by the
// length of the pattern times the length of the name.
bool wildcard_match(const char* pattern, const char* name) {
    const char* star_rest = nullptr;  // pattern just after the last star seen
    const char* star_end = nullptr;   // name position where that star's run ends
    for (;;) {
        const unsigned int p = mbs_char(pattern);
        if (p == '*') {
            pattern = mbs_next(pattern);
            if (*pattern == '\0') return true;  // a final star takes the rest
            star_rest = pattern;
            star_end = name;
            continue;
        }
        if (*name == '\0') return p == 0;
        if (p == '?' || (p != 0 && fold_case(p) == fold_case(mbs_char(name)))) {
            pattern = mbs_next(pattern);
            name = mbs_next(name);
            continue;
        }
        if (star_rest == nullptr) return false;
        // star_end lies before name, so it is not at the terminator.
        star_end = mbs_next(star_end);
        name = star_end;
        pattern = star_rest;
    }
}
