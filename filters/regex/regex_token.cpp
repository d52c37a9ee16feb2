// The tokenizer: operators, counted quantifiers, bracket texts and escapes.
#include <string.h>

#include "filters/regex/regex_internal.h"
#include "text/mbs.h"

namespace {

struct operator_row_t {
    const char* text;
    int32_t type;
};

// Tried in this order, so the longer operators win over their prefixes.
const operator_row_t OPERATORS[] = {
    {"(?=", TK_AHEAD},    {"(?!", TK_NOT_AHEAD}, {"(", TK_OPEN},    {")", TK_CLOSE}, {"*?", TK_LAZY_STAR},
    {"+?", TK_LAZY_PLUS}, {"??", TK_LAZY_OPT},   {"*", TK_STAR},    {"+", TK_PLUS},  {"?", TK_OPT},
    {"{", TK_BRACE},      {".", TK_ANY},         {"[", TK_BRACKET}, {"^", TK_BOL},   {"$", TK_EOL},
    {"|", TK_BAR},        {"\\", TK_ESCAPE},
};

struct escape_row_t {
    char letter;
    const char* expansion;
};

const escape_row_t ESCAPES[] = {
    {'d', "0-9"},        {'D', "^0-9"},        {'h', "0-9a-fA-F"}, {'H', "^0-9a-fA-F"},
    {'w', "_0-9a-zA-Z"}, {'W', "^_0-9a-zA-Z"}, {'s', " \t\n\r\f"}, {'S', "^ \t\n\r\f"},
    {'f', "\f"},         {'n', "\n"},          {'r', "\r"},        {'t', "\t"},
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal digits at *q into a 32-bit count that wraps as the machine's
// integers do; no digit gives 0.
int32_t read_count(const char** q) {
    uint32_t value = 0;
    while (is_digit(**q)) {
        value = value * 10u + (uint32_t)(**q - '0');
        ++*q;
    }
    return (int32_t)value;
}

void make_literal(regex_token_t* token, char c) {
    token->type = TK_CHAR;
    token->length = 1;
    token->ch[0] = (unsigned char)c;
    token->ch[1] = 0;
    token->text[0] = '\0';
}

// At "{": '{m}', '{m,}', '{m,n}', '{,n}', each optionally followed by "?";
// anything else is the literal "{".
const char* read_counted(regex_token_t* token, const char* cursor) {
    token->min = token->max = 0;
    const char* q = cursor + 1;
    if (*q != '\0') {
        token->min = read_count(&q);
        if (*q == '}') {
            token->max = token->min;
        } else if (*q == ',') {
            ++q;
            token->max = read_count(&q);
        }
        if (*q == '}') {
            ++q;
            token->type = TK_COUNT;
            if (*q == '?') {
                ++q;
                token->type = TK_LAZY_COUNT;
            }
            return q;
        }
    }
    token->min = token->max = 0;
    make_literal(token, '{');
    return cursor + 1;
}

// Bytes of the escape at p as regex_expand_escape reads them.
size_t escape_length(const char* p) {
    if (p[1] == '\0') return 1;
    return mbs_next(p + 1) - p;
}

// At "[": the raw text up to the "]" that ends it, escapes and double-byte
// characters copied whole. Unterminated, or too long for the token's text:
// the literal "[".
const char* read_bracket(regex_token_t* token, const char* cursor) {
    const char* q = cursor + 1;
    size_t length = 0;
    while (*q != ']') {
        if (*q == '\0') break;
        size_t step = *q == '\\' ? escape_length(q) : (size_t)(mbs_next(q) - q);
        if (*q == '\\' && step == 1) break;  // a backslash ends the pattern
        if (length + step > REGEX_TEXT_SIZE - 1) break;
        memcpy(token->text + length, q, step);
        length += step;
        q += step;
    }
    if (*q != ']') {
        make_literal(token, '[');
        return cursor + 1;
    }
    token->text[length] = '\0';
    token->type = TK_CLASS;
    return q + 1;
}

// At "\": a literal character, or a class for '\d' and the like. A backslash
// that ends the pattern stays TK_ESCAPE.
const char* read_escape(regex_token_t* token, const char* cursor) {
    if (cursor[1] == '\0') return cursor + 1;
    const char* after = regex_expand_escape(token->text, cursor);
    token->length = (int32_t)(after - cursor);
    const unsigned char first = (unsigned char)token->text[0];
    const size_t expansion = strlen(token->text);
    if (expansion == 1) {
        token->type = TK_CHAR;
        token->ch[0] = first;
        token->ch[1] = 0;
    } else if (expansion == 2 && mbs_is_lead_byte(first)) {
        token->type = TK_CHAR;
        token->ch[0] = first;
        token->ch[1] = (unsigned char)token->text[1];
    } else {
        token->type = TK_CLASS;
    }
    return after;
}

}  // namespace

const char* regex_expand_escape(char* out, const char* p) {
    const char c = p[1];
    if (c == '\0') {
        out[0] = '\\';
        out[1] = '\0';
        return p + 1;
    }
    if (mbs_is_lead_byte((unsigned char)c) && p[2] != '\0') {
        out[0] = c;
        out[1] = p[2];
        out[2] = '\0';
        return p + 3;
    }
    for (const escape_row_t& row : ESCAPES) {
        if (row.letter == c) {
            // Every expansion is far shorter than the 512-byte buffer.
            memcpy(out, row.expansion, strlen(row.expansion) + 1);
            return p + 2;
        }
    }
    out[0] = c;
    out[1] = '\0';
    return p + 2;
}

const char* regex_next_token(regex_token_t* token, const char* cursor) {
    token->type = TK_CHAR;
    token->length = 0;
    token->ch[0] = token->ch[1] = 0;
    token->min = token->max = 0;
    token->text[0] = '\0';
    if (*cursor == '\0') {
        token->type = TK_END;
        return cursor;
    }
    for (const operator_row_t& row : OPERATORS) {
        if (mbs_has_prefix(cursor, row.text)) {
            token->type = row.type;
            token->length = (int32_t)strlen(row.text);
            break;
        }
    }
    token->ch[0] = (unsigned char)cursor[0];
    switch (token->type) {
        case TK_BRACE:
            return read_counted(token, cursor);
        case TK_BRACKET:
            return read_bracket(token, cursor);
        case TK_ESCAPE:
            return read_escape(token, cursor);
        case TK_CHAR: {
            const char* after = mbs_next(cursor);
            token->length = (int32_t)(after - cursor);
            if (token->length == 2) token->ch[1] = (unsigned char)cursor[1];
            return after;
        }
        default:
            return cursor + token->length;
    }
}
