#include "listing/natural_key.h"

#include <string.h>

#include "platform/platform.h"
#include "text/mbs.h"

namespace {

constexpr unsigned char DIGITS_RUN = 0x01;
constexpr unsigned char TEXT_RUN = 0x02;
// A name is at most 255 characters; a sort key takes a few bytes each.
constexpr size_t KEY_ROOM = 2048;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

struct key_out_t {
    char* bytes;
    size_t size;
    size_t length;
    bool full;
};

void put(key_out_t* out, const void* bytes, size_t length) {
    if (out->full || out->length + length > out->size) {
        out->full = true;
        return;
    }
    memcpy(out->bytes + out->length, bytes, length);
    out->length += length;
}

}  // namespace

size_t natural_key(const char* text, size_t text_length, char* key, size_t key_size) {
    key_out_t out = {key, key_size, 0, false};
    const char* end = text + text_length;
    for (const char* p = text; p < end;) {
        const char* run = p;
        if (is_digit(*p)) {
            while (p < end && is_digit(*p)) ++p;
            const char* significant = run;
            while (significant < p && *significant == '0') ++significant;
            const size_t digits = (size_t)(p - significant);
            const unsigned char head[3] = {DIGITS_RUN, (unsigned char)(digits >> 8), (unsigned char)digits};
            put(&out, head, sizeof head);
            put(&out, significant, digits);
            continue;
        }
        // Up to the next digit byte, which always begins a character: no
        // trail byte of code page 932 is a digit.
        while (p < end && !is_digit(*p)) ++p;
        // A name without digits is its own text run, terminated already.
        const char* part = run;
        char copy[PATH_BUFFER_SIZE];
        if (run != text || p != end) {
            const size_t length = (size_t)(p - run) < sizeof copy ? (size_t)(p - run) : sizeof copy - 1;
            memcpy(copy, run, length);
            copy[length] = '\0';
            part = copy;
        }
        char sort_key[KEY_ROOM];
        const int size = os.sort_key(part, sort_key, sizeof sort_key);
        if (size <= 0) return 0;
        put(&out, &TEXT_RUN, 1);
        put(&out, sort_key, (size_t)size);  // its terminator closes the run
    }
    if (out.full) {
        os_set_last_error(OS_ERROR_NAME_TOO_LONG);
        return 0;
    }
    return out.length;
}

int compare_natural_keys(const char* a, size_t a_length, const char* b, size_t b_length) {
    const size_t shorter = a_length < b_length ? a_length : b_length;
    const int order = shorter ? memcmp(a, b, shorter) : 0;
    if (order != 0) return order;
    return (a_length > b_length) - (a_length < b_length);
}
