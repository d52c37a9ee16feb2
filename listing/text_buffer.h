// A growing text from the listing's own memory: a line prefix, a line.
#pragma once

#include <stddef.h>

struct text_buffer_t {
    char* bytes;  // terminated after `length` bytes, once anything was reserved
    size_t length;
    size_t capacity;
};

// Room for `more` bytes and a terminator; false when memory ran out.
bool text_reserve(text_buffer_t* t, size_t more);
bool text_append(text_buffer_t* t, const char* bytes, size_t length);
void text_free(text_buffer_t* t);
