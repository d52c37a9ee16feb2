// The wildcard filter: a list of patterns such as "*.txt;*.log" or
// "IMG_????.JPG". A name passes when one item of the list matches it whole.
//
// Items are separated by runs of spaces and semicolons; within an item "*" is
// any run of characters, "?" exactly one character (a double-byte character
// is one), everything else stands for itself, ASCII letters in either case.
#pragma once

#include <stddef.h>

#include "filters/filter.h"

// The one-byte characters that separate the items of a pattern list.
constexpr const char PATTERN_SEPARATORS[] = " ;";

class filter_wildcard_t final : public filter_t {
public:
    // An empty text is one empty item, which passes only the empty name;
    // no text (null) passes nothing.
    explicit filter_wildcard_t(const char* text);
    ~filter_wildcard_t() override;
    filter_wildcard_t(const filter_wildcard_t&) = delete;
    filter_wildcard_t& operator=(const filter_wildcard_t&) = delete;

    bool matches(const char* name) override;

private:
    // The filter text as given; null when there was none or no memory.
    char* patterns;
    // The items of `patterns`, split once by next_pattern: item_count
    // lower-cased, terminated texts back to back. Null exactly when
    // `patterns` is.
    char* items;
    size_t item_count;
};

// Copies the item at cursor (after any separators) into buffer, a
// PATH_BUFFER_SIZE buffer, in lower case, cut to 521 bytes. The result is the
// separator that ended the item, where the next call goes on, or null when
// this item was the last.
const char* next_pattern(const char* cursor, char* buffer);

// True when pattern (one item) matches the whole name. ASCII letters match in
// either case; double-byte characters only themselves. Time is bounded by the
// product of the two lengths, whatever the stars.
bool wildcard_match(const char* pattern, const char* name);
