// The wildcard filter and its matcher.
#include "filters/wildcard_filter.h"

#include <string.h>

#include <new>

#include "text/mbs.h"

namespace {

// Only the one-byte ASCII letters fold; double-byte codes are above 255.
inline unsigned int fold_case(unsigned int code) {
    return (code >= 'A' && code <= 'Z') ? code + ('a' - 'A') : code;
}

// Byte-wise equality with A-Z taken as a-z, also inside double-byte
// characters. Where a name matches an item, its first and last bytes equal the
// item's literal head and tail up to the case of one-byte letters, so this
// never turns away a name that the item matches.
bool bytes_equal_folded(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (fold_case((unsigned char)a[i]) != fold_case((unsigned char)b[i])) return false;
    }
    return true;
}

bool is_wildcard(unsigned int code) {
    return code == '*' || code == '?';
}

wildcard_item_t describe_item(const char* text) {
    wildcard_item_t item = {text, strlen(text), 0, 0};
    const char* first_wildcard = nullptr;
    const char* after_last_wildcard = nullptr;
    for (const char* p = text; *p != '\0'; p = mbs_next(p)) {
        if (!is_wildcard(mbs_char(p))) continue;
        if (first_wildcard == nullptr) first_wildcard = p;
        after_last_wildcard = mbs_next(p);
    }
    if (first_wildcard == nullptr) {
        item.head = item.tail = item.length;  // literal throughout
    } else {
        item.head = (size_t)(first_wildcard - text);
        item.tail = (size_t)(text + item.length - after_last_wildcard);
    }
    return item;
}

}  // namespace

filter_wildcard_t::filter_wildcard_t(const char* text)
    : patterns(nullptr), items(nullptr), item_count(0), item_text(nullptr) {
    if (text == nullptr) return;
    const size_t text_size = strlen(text) + 1;
    patterns = new (std::nothrow) char[text_size];
    if (patterns == nullptr) return;
    memcpy(patterns, text, text_size);

    // Every test would split the list the same way, so split it once: first
    // to size the blocks, then to fill them. next_pattern writes a whole
    // PATH_BUFFER_SIZE buffer, hence the copy through `buffer`.
    char buffer[PATH_BUFFER_SIZE];
    size_t text_bytes = 0, count = 0;
    const char* cursor = patterns;
    do {
        cursor = next_pattern(cursor, buffer);
        text_bytes += strlen(buffer) + 1;
        ++count;
    } while (cursor != nullptr);

    items = new (std::nothrow) wildcard_item_t[count];
    item_text = new (std::nothrow) char[text_bytes];
    if (items == nullptr || item_text == nullptr) {
        delete[] items;
        items = nullptr;
        delete[] item_text;
        item_text = nullptr;
        delete[] patterns;
        patterns = nullptr;
        return;
    }
    char* out = item_text;
    cursor = patterns;
    do {
        cursor = next_pattern(cursor, buffer);
        const size_t size = strlen(buffer) + 1;
        memcpy(out, buffer, size);
        items[item_count++] = describe_item(out);
        out += size;
    } while (cursor != nullptr);
}

filter_wildcard_t::~filter_wildcard_t() {
    delete[] items;
    items = nullptr;
    item_count = 0;
    delete[] item_text;
    item_text = nullptr;
    delete[] patterns;
    patterns = nullptr;
}

bool filter_wildcard_t::matches(const char* name) {
    const size_t name_length = strlen(name);
    for (size_t i = 0; i < item_count; ++i) {
        const wildcard_item_t& item = items[i];
        if (item.head > name_length || item.tail > name_length) continue;
        if (!bytes_equal_folded(item.text, name, item.head)) continue;
        if (!bytes_equal_folded(item.text + item.length - item.tail, name + name_length - item.tail,
                                item.tail)) {
            continue;
        }
        if (wildcard_match(item.text, name)) return true;
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
