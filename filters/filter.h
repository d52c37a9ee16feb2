// Name filters: the listing job asks one whether a bare file name is listed.
// Folders never reach a filter; they are always listed.
#pragma once

class filter_t {
public:
    virtual ~filter_t() = default;
    // True when the file name passes. Not const: a search may use working
    // fields of the filter, so one filter serves one thread.
    virtual bool matches(const char* name) = 0;
};

// Every file passes.
class filter_null_t final : public filter_t {
public:
    bool matches(const char*) override { return true; }
};

// FILTER_REGEXP: a regular expression; FILTER_WILDCARD: a wildcard list;
// any other kind: the null filter. Null only when memory runs out.
filter_t* create_filter(int filter_kind, const char* filter_text);
void delete_filter(filter_t* filter);
