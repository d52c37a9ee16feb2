// One forward step of the byte classifier behind mbs_byte_type.
//
// Kept apart so that the path functions can classify every byte of a string
// in a single walk instead of calling mbs_byte_type once per byte.
#pragma once

#include "text/mbs.h"

enum byte_kind_t {
    BYTE_SINGLE = 0,  // a one-byte character
    BYTE_LEAD = 1,    // the first byte of a double-byte character
    BYTE_TRAIL = 2,   // the second byte of a double-byte character
};

// Classifies byte b, given the kind of the byte before it (BYTE_SINGLE at the
// start of a string). A lead byte followed by a byte outside the trail range
// leaves that byte a one-byte character, classified afresh.
inline byte_kind_t byte_walk_step(byte_kind_t previous, unsigned char b) {
    if (previous == BYTE_LEAD) return mbs_is_trail_byte(b) ? BYTE_TRAIL : BYTE_SINGLE;
    return mbs_is_lead_byte(b) ? BYTE_LEAD : BYTE_SINGLE;
}

// True when b, of kind `kind`, is a path separator.
inline bool byte_walk_is_sep(byte_kind_t kind, unsigned char b) {
    return b == '\\' && kind == BYTE_SINGLE;
}
