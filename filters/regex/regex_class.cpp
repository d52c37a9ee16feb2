// Bracket texts: '[a-z\d]' and '[^...]' as stored raw by the tokenizer.
//
// A text is read item by item: a character, a range "lo-hi", or an escape
// that stands for a whole class ('\d'). Items hold codes exactly, as unsigned
// numbers; an ASCII letter is in the bracket when either of its cases is, as
// a letter elsewhere in a pattern matches either case. So '[A-Z]' and
// '[a-z]' are the same class, and '[Z-a]' holds the signs between Z and a
// and both cases of each letter. Only ASCII letters are folded: width and
// double-byte characters compare exactly. A leading "^" negates the folded
// set, so '[^a-z]' holds no letter of either case.
//
// regex_class_match_code reads the text afresh for every test, as the
// dialect defines it; regex_class_new reads it once into a table that gives
// the same answers, and the search uses that.
#include <string.h>

#include "filters/regex/regex_internal.h"
#include "text/mbs.h"

namespace {

// One character's code when the expansion is one character (one byte, or a
// lead byte and its second byte).
bool single_character(const char* expansion, unsigned int* code) {
    const size_t length = strlen(expansion);
    const unsigned char first = (unsigned char)expansion[0];
    if (length == 1) {
        *code = first;
        return true;
    }
    if (length == 2 && mbs_is_lead_byte(first)) {
        *code = first * 256u + (unsigned char)expansion[1];
        return true;
    }
    return false;
}

// Calls visit_range(lo, hi) for each character or range item and
// visit_class(text) for each escape that stands for a class, in order, until
// one of them returns true; the result is that true, or false at the end.
template <typename range_fn, typename class_fn>
bool for_each_item(const char* q, range_fn visit_range, class_fn visit_class) {
    char expansion[REGEX_TEXT_SIZE];
    while (*q != '\0') {
        unsigned int lo;
        if (*q == '\\') {
            const char* after = regex_expand_escape(expansion, q);
            q = after;
            if (!single_character(expansion, &lo)) {
                if (visit_class(expansion)) return true;
                continue;
            }
        } else {
            lo = mbs_char(q);
            q = mbs_next(q);
        }
        unsigned int hi = lo;
        if (*q == '-' && q[1] != '\0') {
            const char* r = q + 1;
            if (*r == '\\') {
                const char* after = regex_expand_escape(expansion, r);
                // An escape that is a class ends no range: the "-" is
                // then an item of its own.
                if (single_character(expansion, &hi)) q = after;
            } else {
                hi = mbs_char(r);
                q = mbs_next(r);
            }
        }
        if (visit_range(lo, hi)) return true;
    }
    return false;
}

// The same letter in the other case; 0 for anything but an ASCII letter.
unsigned int other_case(unsigned int c) {
    if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
    if (c >= 'a' && c <= 'z') return c - ('a' - 'A');
    return 0;
}

// True when one of the items (the text after any "^") holds s exactly.
bool items_hold(const char* items, unsigned int s) {
    return for_each_item(
        items, [s](unsigned int lo, unsigned int hi) { return lo <= s && s <= hi; },
        [s](const char* nested) { return regex_class_match_code(nested, s); });
}

void set_bit(unsigned char* bits, unsigned int code) {
    bits[code / 8] |= (unsigned char)(1u << (code % 8));
}

}  // namespace

bool regex_class_match_code(const char* text, unsigned int s) {
    const bool negated = text[0] == '^';
    const char* items = negated ? text + 1 : text;
    const unsigned int other = other_case(s);
    const bool found = items_hold(items, s) || (other != 0 && items_hold(items, other));
    return negated ? !found : found;
}

regex_class_t* regex_class_new(const char* text) {
    regex_class_t* char_class = (regex_class_t*)calloc(1, sizeof(regex_class_t));
    if (char_class == nullptr) return nullptr;
    const size_t size = strlen(text) + 1;
    char_class->text = (char*)malloc(size);
    if (char_class->text == nullptr) {
        regex_class_free(char_class);
        return nullptr;
    }
    memcpy(char_class->text, text, size);

    for (unsigned int code = 1; code < 256; ++code) {
        if (regex_class_match_code(text, code)) set_bit(char_class->one_byte, code);
    }

    // Double-byte codes: the escape classes hold one-byte characters only,
    // so each gives one answer for every double-byte code (true for the
    // negated ones); what is left are the ranges that reach above 255.
    const bool negated = text[0] == '^';
    const char* items = negated ? text + 1 : text;
    uint32_t range_count = 0;
    bool every_double_byte = for_each_item(
        items,
        [&range_count](unsigned int lo, unsigned int hi) {
            if (hi >= 256 && lo <= hi) ++range_count;
            return false;
        },
        [](const char* nested) { return regex_class_match_code(nested, 0x8140); });
    if (!every_double_byte && range_count > 0) {
        char_class->ranges = (uint32_t*)malloc(range_count * 2 * sizeof(uint32_t));
        if (char_class->ranges == nullptr) {
            regex_class_free(char_class);
            return nullptr;
        }
        for_each_item(
            items,
            [char_class](unsigned int lo, unsigned int hi) {
                if (hi >= 256 && lo <= hi) {
                    char_class->ranges[2 * char_class->range_count] = lo < 256 ? 256 : lo;
                    char_class->ranges[2 * char_class->range_count + 1] = hi;
                    ++char_class->range_count;
                }
                return false;
            },
            [](const char*) { return false; });
    }
    char_class->double_byte_default = every_double_byte ? !negated : negated;
    return char_class;
}

void regex_class_free(regex_class_t* char_class) {
    if (char_class == nullptr) return;
    free(char_class->ranges);
    free(char_class->text);
    free(char_class);
}
