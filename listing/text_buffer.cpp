#include "listing/text_buffer.h"

#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"

bool text_reserve(text_buffer_t* t, size_t more) {
    if (t->length + more + 1 <= t->capacity) return true;
    size_t capacity = t->capacity ? t->capacity : 1024;
    while (capacity < t->length + more + 1) capacity *= 2;
    char* bytes = (char*)os.malloc(capacity);
    if (!bytes) return false;
    if (t->bytes) memcpy(bytes, t->bytes, t->length);
    bytes[t->length] = '\0';
    free(t->bytes);
    t->bytes = bytes;
    t->capacity = capacity;
    return true;
}

bool text_append(text_buffer_t* t, const char* bytes, size_t length) {
    if (!text_reserve(t, length)) return false;
    memcpy(t->bytes + t->length, bytes, length);
    t->length += length;
    t->bytes[t->length] = '\0';
    return true;
}

void text_free(text_buffer_t* t) {
    free(t->bytes);
    *t = text_buffer_t{};
}
