// Classifying a byte from behind, without walking from the start of the text.
#pragma once

#include <stddef.h>

#include "text/mbs.h"

// True when s[i - 1] is a lead byte still waiting for its second byte, as a
// walk from s[0] would find. Every lead byte also lies in the trail range, so
// a run of k lead-range bytes that follows any other byte (or the start of s)
// classifies as lead, second, lead, second, ... and leaves a lead pending
// exactly when k is odd. The cost is the length of that run.
inline bool mbs_lead_pending_before(const char* s, size_t i) {
    size_t k = 0;
    while (k < i && mbs_is_lead_byte((unsigned char)s[i - 1 - k])) ++k;
    return k % 2 == 1;
}
