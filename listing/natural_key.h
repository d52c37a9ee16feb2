// The key of natural order: runs of digits compare by their value
// ("IMG_2.JPG" before "IMG_10.JPG"), everything else by the platform's
// order without regard to case, run by run.
//
// The key is a byte string whose order (memcmp, then the shorter first) is
// that order: a run of ASCII digits is 0x01, the count of its digits past
// any leading zeros (two bytes, high first) and those digits, so a longer
// number comes later whatever its digits and no number can overflow; any
// other run is 0x02, its sort key and a 0x00. Numbers therefore come before
// other text at the same place, and "file007" and "file7" get the same key
// (their order is then today's). Full-width digits are text.
#pragma once

#include <stddef.h>

#include "listing/arena.h"

struct natural_key_t {
    const unsigned char* bytes;
    size_t length;
};

// The key of program text (code page 932, terminated after text_length
// bytes) in the arena; false when memory ran out or the platform gave no
// sort key (the reason in os_last_error()).
bool make_natural_key(arena_t* arena, const char* text, size_t text_length, natural_key_t* key);

// <0, 0 or >0 as a comes before, ties with or comes after b.
int compare_natural_keys(const natural_key_t* a, const natural_key_t* b);
