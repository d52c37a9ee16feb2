// Splitting a whole command line into arguments, written once over the
// character type: code page 932 text (GetCommandLineA, and tests) and wide
// text (GetCommandLineW, so that no best fit happens before the program sees
// an argument).
//
// One scanner runs twice over the text: first only counting arguments and
// text units, then writing into the block allocated from those counts. It
// steps whole characters, so the second byte of a double-byte character
// (表 is 0x95 0x5C) is never taken for a backslash, a quote or a blank.
#include <stdlib.h>

#include "app/command_line.h"
#include "text/mbs.h"

namespace {

const char* next_character(const char* p) {
    return mbs_next(p);
}
const wchar_t* next_character(const wchar_t* p) {
    return p + 1;
}

template <class C>
struct arg_writer_t {
    C* text;       // where the next text unit goes; null while counting
    C** table;     // the next pointer slot; null while counting
    size_t units;  // text units so far, terminators included
    int count;
};

template <class C>
void begin_argument(arg_writer_t<C>* w) {
    if (w->table != nullptr) *w->table++ = w->text;
    ++w->count;
}

template <class C>
void put_unit(arg_writer_t<C>* w, C c) {
    if (w->text != nullptr) *w->text++ = c;
    ++w->units;
}

template <class C>
void put_backslashes(arg_writer_t<C>* w, size_t n) {
    for (size_t k = 0; k < n; ++k) put_unit(w, (C)'\\');
}

// Copies one character (a lead byte with the byte after it) and steps over it.
template <class C>
const C* put_character(arg_writer_t<C>* w, const C* p) {
    const C* next = next_character(p);
    for (; p < next; ++p) put_unit(w, *p);
    return next;
}

template <class C>
bool is_blank(C c) {
    return c == (C)' ' || c == (C)'\t';
}

// Argument 0: quotes only delimit it, backslashes mean nothing.
template <class C>
const C* scan_program_name(arg_writer_t<C>* w, const C* p) {
    begin_argument(w);
    const bool quoted = *p == (C)'"';
    if (quoted) ++p;
    while (*p != 0 && (quoted ? *p != (C)'"' : !is_blank(*p))) p = put_character(w, p);
    if (quoted && *p == (C)'"') ++p;
    put_unit(w, (C)0);
    return p;
}

// One argument: 2n backslashes and a quote give n backslashes and toggle the
// quoting, 2n + 1 give n and a literal quote; "" inside quotes is one quote.
template <class C>
const C* scan_argument(arg_writer_t<C>* w, const C* p) {
    begin_argument(w);
    bool quoted = false;
    for (;;) {
        size_t backslashes = 0;
        while (p[backslashes] == (C)'\\') ++backslashes;
        p += backslashes;
        if (*p == (C)'"') {
            put_backslashes(w, backslashes / 2);
            ++p;
            if (backslashes % 2 == 1) {
                put_unit(w, (C)'"');
                continue;
            }
            if (quoted && *p == (C)'"') {
                put_unit(w, (C)'"');
                ++p;
            }
            quoted = !quoted;
            continue;
        }
        put_backslashes(w, backslashes);
        if (*p == 0 || (!quoted && is_blank(*p))) break;
        p = put_character(w, p);
    }
    put_unit(w, (C)0);
    return p;
}

template <class C>
void scan_command_line(arg_writer_t<C>* w, const C* text) {
    const C* p = scan_program_name(w, text);
    for (;;) {
        while (is_blank(*p)) ++p;
        if (*p == 0) break;
        p = scan_argument(w, p);
    }
    if (w->table != nullptr) *w->table = nullptr;
}

template <class C>
C** split(const C* text, int* count) {
    arg_writer_t<C> counter = {nullptr, nullptr, 0, 0};
    scan_command_line(&counter, text);

    const size_t table_size = ((size_t)counter.count + 1) * sizeof(C*);
    C** block = (C**)malloc(table_size + counter.units * sizeof(C));
    if (block == nullptr) return nullptr;
    arg_writer_t<C> writer = {(C*)((char*)block + table_size), block, 0, 0};
    scan_command_line(&writer, text);
    *count = counter.count;
    return block;
}

}  // namespace

char** split_command_line(const char* text, int* count) {
    return split(text, count);
}

wchar_t** split_command_line(const wchar_t* text, int* count) {
    return split(text, count);
}
