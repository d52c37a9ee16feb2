// Byte classification, character searches and comparisons.
#include <string.h>

#include "text/mbs.h"
#include "text/mbs_classify.h"

int mbs_byte_type(const char* s, size_t i) {
    // memchr stops at the first match, so a short s is never read past.
    if (memchr(s, '\0', i + 1) != nullptr) return 0;
    const unsigned char b = (unsigned char)s[i];
    if (mbs_lead_pending_before(s, i)) return mbs_is_trail_byte(b) ? 2 : 0;
    return mbs_is_lead_byte(b) ? 1 : 0;
}

// --- Searching ----------------------------------------------------------------

bool charset_build(charset_t* out, const char* members) {
    mem_zero(out->bits, sizeof out->bits);
    for (const unsigned char* m = (const unsigned char*)members; *m; ++m) {
        out->bits[*m / 8] |= (unsigned char)(1u << (*m % 8));
    }
    return true;
}

const char* mbs_chr(const char* s, unsigned int c) {
    for (const char* p = s;; p = mbs_next(p)) {
        // Compared before the end test, so c = 0 finds the terminator.
        if (mbs_char(p) == c) return p;
        if (*p == '\0') return nullptr;
    }
}

size_t mbs_cspn(const char* s, const char* set) {
    charset_t members;
    charset_build(&members, set);
    const char* p = s;
    while (*p != '\0') {
        const char* next = mbs_next(p);
        if (next == p + 1 && charset_has(&members, (unsigned char)*p)) break;
        p = next;
    }
    return (size_t)(p - s);
}

size_t mbs_spn(const char* s, const char* set) {
    charset_t members;
    charset_build(&members, set);
    const char* p = s;
    while (*p != '\0') {
        const char* next = mbs_next(p);
        if (next != p + 1 || !charset_has(&members, (unsigned char)*p)) break;
        p = next;
    }
    return (size_t)(p - s);
}

const char* mbs_skip_blanks(const char* s) {
    return s + mbs_spn(s, " \t");
}

const char* mbs_find_delim(const char* s) {
    const char* p = s + mbs_cspn(s, " ;");
    return *p != '\0' ? p : nullptr;
}

// --- Comparison ---------------------------------------------------------------

bool str_equal(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

static unsigned char ascii_lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c;
}

bool str_iequal(const char* a, const char* b) {
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    while (*x != '\0' && ascii_lower(*x) == ascii_lower(*y)) {
        ++x;
        ++y;
    }
    return ascii_lower(*x) == ascii_lower(*y);
}

bool mbs_nequal(const char* a, const char* b, size_t n) {
    const char* p = a;
    const char* q = b;
    // Equal characters keep both offsets equal, so one bound suffices.
    while ((size_t)(p - a) < n) {
        const unsigned int c = mbs_char(p);
        if (c != mbs_char(q)) return false;
        if (c == 0) return true;
        p = mbs_next(p);
        q = mbs_next(q);
    }
    return true;
}

bool mbs_has_prefix(const char* t, const char* p) {
    while (*p != '\0') {
        if (mbs_char(t) != mbs_char(p)) return false;
        t = mbs_next(t);
        p = mbs_next(p);
    }
    return true;
}
