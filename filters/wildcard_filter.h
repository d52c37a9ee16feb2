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

// One item of a list, as split by next_pattern, with the literal characters
// it begins and ends with (before the first and after the last "*" or "?"),
// which let most names be turned away without running the matcher.
struct wildcard_item_t {
    const char* text;  // lower-cased and terminated
    size_t length;     // bytes of text
    size_t head;       // bytes of literal characters at the start
    size_t tail;       // bytes of literal characters at the end
};

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
    // The list split once at construction, in the order written; the texts
    // lie back to back in item_text. Null and 0 exactly when `patterns` is
    // null: every name is then rejected.
    wildcard_item_t* items;
    size_t item_count;
    char* item_text;
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
