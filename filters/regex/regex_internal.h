// Records and operations shared by the parts of the regular-expression
// compiler and matcher; not for users of regex.h.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "filters/regex/regex.h"

// --- Tokens -------------------------------------------------------------------

enum regex_token_type_t : int32_t {
    TK_OPEN = 0,
    TK_CLOSE = 1,
    TK_LAZY_STAR = 2,
    TK_LAZY_PLUS = 3,
    TK_LAZY_OPT = 4,
    TK_STAR = 5,
    TK_PLUS = 6,
    TK_OPT = 7,
    TK_BRACE = 8,
    TK_ANY = 9,
    TK_BRACKET = 10,
    TK_BOL = 11,
    TK_EOL = 12,
    TK_BAR = 13,
    TK_ESCAPE = 14,
    TK_AHEAD = 15,
    TK_NOT_AHEAD = 16,
    TK_LAZY_COUNT = 17,
    TK_COUNT = 18,
    TK_CLASS = 19,
    TK_CHAR = 20,
    TK_END = 21,
};

// Bracket texts and escape expansions, terminator included.
constexpr size_t REGEX_TEXT_SIZE = 512;

struct regex_token_t {
    int32_t type;
    int32_t length;              // bytes of the operator or literal character; 0 at the end
    unsigned char ch[2];         // the character when taken literally
    int32_t min, max;            // counted quantifier
    char text[REGEX_TEXT_SIZE];  // bracket text or escape expansion
};

// Reads the token at cursor; the result is the position after it.
const char* regex_next_token(regex_token_t* token, const char* cursor);
// Expands the escape whose backslash is at p into out (REGEX_TEXT_SIZE
// bytes); the result is the position after the escape. A backslash at the
// end of its text expands to itself.
const char* regex_expand_escape(char* out, const char* p);

// The code of a pattern character: its first byte, or first byte * 256 +
// second byte for a double-byte character. A lead byte with no second byte
// is a one-byte character.
inline unsigned int regex_char_code(const unsigned char ch[2]) {
    return ch[1] != 0 ? ch[0] * 256u + ch[1] : ch[0];
}

// --- Bracket texts ----------------------------------------------------------------

// A bracket text read once: the answer for every one-byte code, and for
// double-byte codes a default answer with ranges that give the opposite.
struct regex_class_t {
    char* text;
    unsigned char one_byte[32];  // bit b: the answer for code b
    unsigned char double_byte_default;
    uint32_t range_count;
    uint32_t* ranges;  // range_count pairs of first and last code
    regex_class_t* next;
};

// True when the character code s is one of the bracket text's, an ASCII
// letter in either case: the text read item by item as written, every time
// (the reference the compiled form must agree with).
bool regex_class_match_code(const char* text, unsigned int s);

regex_class_t* regex_class_new(const char* text);
void regex_class_free(regex_class_t* char_class);
inline bool regex_class_test(const regex_class_t* char_class, unsigned int s) {
    if (s < 256) return (char_class->one_byte[s / 8] >> (s % 8)) & 1;
    for (uint32_t i = 0; i < char_class->range_count; ++i) {
        if (char_class->ranges[2 * i] <= s && s <= char_class->ranges[2 * i + 1]) {
            return !char_class->double_byte_default;
        }
    }
    return char_class->double_byte_default;
}

// --- Characters --------------------------------------------------------------------

struct halfwidth_row_t {
    uint16_t half;  // the one-byte form
    uint16_t full;  // the full-width code
};
constexpr size_t HALFWIDTH_ROW_COUNT = 158;
extern const halfwidth_row_t halfwidth_table[HALFWIDTH_ROW_COUNT];

// True when the character at p equals the pattern character ch, with the
// options of a transition (letter case, full-width letters).
bool regex_char_equal(const unsigned char ch[2], const char* p, int32_t options);
// The (at most two) codes that regex_char_equal takes for ch, for the
// transition's quick test; a code of 0 never matches.
void regex_char_codes(const unsigned char ch[2], int32_t options, unsigned int codes[2]);

// --- Syntax tree ---------------------------------------------------------------

struct regex_node_t {
    int32_t kind;
    unsigned char ch[2];
    const regex_class_t* char_class;  // RX_CLASS: shared, owned by the compile
    int32_t group;
    regex_node_t* left;
    regex_node_t* right;
};

struct regex_parser_t {
    const char* pattern;
    const char* cursor;
    int32_t depth;  // groups and lookaheads open around the cursor

    // Set while finding out whether a group closes: nothing is built.
    bool dry_run;
    // For each position after an opening token: 0 not yet known, -1 the
    // group does not close, otherwise 1 + the offset after its ")".
    int32_t* group_ends;

    regex_compile_status_t status;  // REGEX_COMPILED until something fails
    int32_t live_nodes;
    regex_class_t* classes;  // every bracket text met, each once

    regex_token_t token;    // scratch, so that the recursion keeps small frames
    const char* token_end;  // where the token in `token` ends
};

// Groups may nest this deep; a deeper pattern (only possible beyond the
// 521 bytes a filter text has) compiles to no program.
constexpr int32_t REGEX_MAX_DEPTH = 1000;

regex_node_t* node_new(regex_parser_t* parser, int32_t kind);
regex_node_t* node_clone(regex_parser_t* parser, const regex_node_t* node);
void node_free(regex_parser_t* parser, regex_node_t* node);

// Sets the parser up at the start of pattern; false when out of memory.
bool regex_parser_init(regex_parser_t* parser, const char* pattern);
// Frees what the parser still owns (its bracket texts, unless taken).
void regex_parser_release(regex_parser_t* parser);
// The tree of the whole pattern; null when the parser's status says why.
regex_node_t* regex_parse(regex_parser_t* parser, int32_t* group_counter);

// --- A growable array on the heap ------------------------------------------------

template <typename T>
struct regex_stack_t {
    T* items = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    ~regex_stack_t() { free(items); }
    bool push(const T& item) {
        if (count == capacity) {
            const size_t grown = capacity ? capacity * 2 : 64;
            T* moved = (T*)realloc(items, grown * sizeof(T));
            if (moved == nullptr) return false;
            items = moved;
            capacity = grown;
        }
        items[count++] = item;
        return true;
    }
    T pop() { return items[--count]; }
    bool empty() const { return count == 0; }
};
