#include "ui/progress/progress_text.h"

#include <string.h>

#include "text/mbs.h"

namespace {

constexpr char TITLE[] = "Scrivlet: 一覧を作成中";
// U+2015, the dash of code page 932 (0x81 0x5C).
constexpr char BEFORE_FOLDER[] = " ― ";
constexpr char ELLIPSIS[] = "...";
// The least of the folder worth showing around the ellipsis.
constexpr size_t SHORTEST_FOLDER = sizeof ELLIPSIS - 1 + 2;

// The length of the longest run of whole characters from text's start that
// takes at most budget bytes.
size_t head_within(const char* text, size_t budget) {
    const char* p = text;
    for (;;) {
        const char* next = mbs_next(p);
        if (next == p || (size_t)(next - text) > budget) return (size_t)(p - text);
        p = next;
    }
}

// Where the shortest run of whole characters that ends the text and takes
// at most budget bytes begins.
const char* tail_within(const char* text, size_t length, size_t budget) {
    const char* p = text;
    while ((size_t)(text + length - p) > budget) p = mbs_next(p);
    return p;
}

// The folder into out, shortened in its middle to at most room bytes.
char* put_folder(char* out, const char* folder, size_t room) {
    const size_t length = strlen(folder);
    if (length <= room) {
        memcpy(out, folder, length);
        return out + length;
    }
    const size_t ellipsis = sizeof ELLIPSIS - 1;
    const size_t head = head_within(folder, (room - ellipsis) / 2);
    const char* tail = tail_within(folder, length, room - ellipsis - head);
    memcpy(out, folder, head);
    out += head;
    memcpy(out, ELLIPSIS, ellipsis);
    out += ellipsis;
    const size_t tail_length = length - (size_t)(tail - folder);
    memcpy(out, tail, tail_length);
    return out + tail_length;
}

}  // namespace

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

void format_progress_text(char* out, size_t size, const char* folder, uint64_t count) {
    if (size == 0) return;
    char number[32];
    format_grouped_count(number, count);
    char count_part[48];
    str_format(count_part, " (%s 件)", number);

    const size_t title = strlen(TITLE), before = strlen(BEFORE_FOLDER), after = strlen(count_part);
    const size_t fixed = title + before + after;
    const size_t room = size - 1 > fixed ? size - 1 - fixed : 0;
    const size_t length = strlen(folder);
    if (length > 0 && (length <= room || room >= SHORTEST_FOLDER)) {
        char* end = out;
        memcpy(end, TITLE, title);
        memcpy(end + title, BEFORE_FOLDER, before);
        end = put_folder(end + title + before, folder, room);
        memcpy(end, count_part, after + 1);
        return;
    }
    // No folder, or no room for it: the title and the count, cut if need be.
    char text[FORMAT_BUFFER_SIZE];
    str_format(text, "%s%s", TITLE, count_part);
    str_copy_bounded(out, text, size);
}
