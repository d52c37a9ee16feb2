#include "filters/filter.h"

#include <new>

#include "app/settings.h"
#include "filters/regex/regexp_filter.h"
#include "filters/wildcard_filter.h"

filter_t* create_filter(int filter_kind, const char* filter_text) {
    (void)filter_text;
    switch (filter_kind) {
        case FILTER_REGEXP:
            return new (std::nothrow) filter_regexp_t(filter_text);
        case FILTER_WILDCARD:
            return new (std::nothrow) filter_wildcard_t(filter_text);
        default:
            return new (std::nothrow) filter_null_t();
    }
}

void delete_filter(filter_t* filter) {
    delete filter;
}
