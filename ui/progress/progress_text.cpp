#include "ui/progress/progress_text.h"

#include <string.h>

#include "text/mbs.h"

void format_grouped_count(char* out, uint64_t count) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = (char)('0' + count % 10);
        count /= 10;
    } while (count);
    // From the most significant digit, with a comma before each group of three.
    for (int i = n - 1; i >= 0; --i) {
        *out++ = digits[i];
        if (i > 0 && i % 3 == 0) *out++ = ',';
    }
    *out = '\0';
}

void format_progress_text(char* out, size_t size, const char* base, uint64_t count) {
    if (size == 0) return;
    str_copy_bounded(out, base, size);
    const size_t used = strlen(out);
    if (used != strlen(base)) return;  // the base alone was cut: no room for the count

    static const char OPEN[] = " (";
    static const char CLOSE[] = " 件)";
    char number[32];
    format_grouped_count(number, count);
    const size_t length = strlen(number);
    if (used + strlen(OPEN) + length + strlen(CLOSE) >= size) return;
    char* end = out + used;
    memcpy(end, OPEN, strlen(OPEN));
    end += strlen(OPEN);
    memcpy(end, number, length);
    end += length;
    memcpy(end, CLOSE, sizeof CLOSE);
}
