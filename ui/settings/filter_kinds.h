// The filter kinds offered by the settings dialog's drop-down list, with the
// help text its filter box shows as a tooltip.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct filter_kind_t {
    int32_t code;       // FILTER_NONE, FILTER_WILDCARD or FILTER_REGEXP
    const char* label;  // the list item
    const char* help;   // the tooltip, CR LF between its lines; empty for no tip
};

// In list order (the list is not sorted).
extern const filter_kind_t filter_kind_table[];
extern const size_t filter_kind_count;

// The row with this code, or null.
const filter_kind_t* find_filter_kind(int32_t code);
