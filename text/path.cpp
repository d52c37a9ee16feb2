// Path queries and joins. The backslash is the only separator, and only when
// it is not the second byte of a double-byte character (表 is 0x95 0x5C).
//
// The listing calls these several times per file, so no query may classify
// bytes by walking from the start once per position. They scan backwards
// from the end instead and classify a backslash by the run of lead bytes
// just before it (mbs_lead_pending_before), which costs about the length of
// the last component and gives what a walk from the start would give.
#include <string.h>

#include "text/mbs.h"
#include "text/mbs_classify.h"

namespace {

constexpr size_t NO_POSITION = (size_t)-1;
constexpr size_t PATH_TEXT_MAX = PATH_BUFFER_SIZE - 1;

bool is_sep(const char* s, size_t i) {
    return s[i] == '\\' && !mbs_lead_pending_before(s, i);
}

// The last separator among s[0 .. end - 1], or NO_POSITION. A run of lead
// bytes holds no backslash, so each byte is looked at twice at most.
size_t last_sep_before(const char* s, size_t end) {
    for (size_t i = end; i-- > 0;) {
        if (is_sep(s, i)) return i;
    }
    return NO_POSITION;
}

// The "." that starts the extension of the last component, or NO_POSITION.
size_t ext_dot(const char* s, size_t length) {
    for (size_t i = length; i-- > 0;) {
        if (is_sep(s, i)) break;
        if (s[i] == '.') return i;
    }
    return NO_POSITION;
}

bool ends_with_sep(const char* s, size_t length) {
    return length > 0 && is_sep(s, length - 1);
}

}  // namespace

bool path_is_sep_at(const char* s, size_t i) {
    return s[i] == '\\' && mbs_byte_type(s, i) == 0;
}

const char* path_find_sep(const char* s) {
    for (const char* p = strchr(s, '\\'); p != nullptr; p = strchr(p + 1, '\\')) {
        if (is_sep(s, (size_t)(p - s))) return p;
    }
    return nullptr;
}

const char* path_find_last_sep(const char* s) {
    const size_t i = last_sep_before(s, strlen(s));
    return i == NO_POSITION ? nullptr : s + i;
}

const char* path_find_trailing_sep(const char* s) {
    const size_t length = strlen(s);
    return ends_with_sep(s, length) ? s + length - 1 : nullptr;
}

bool path_has_trailing_sep(const char* s) {
    return ends_with_sep(s, strlen(s));
}

const char* path_find_name(const char* s) {
    const size_t i = last_sep_before(s, strlen(s));
    return i == NO_POSITION ? s : s + i + 1;
}

const char* path_find_ext(const char* s) {
    const size_t length = strlen(s);
    const size_t dot = ext_dot(s, length);
    return dot == NO_POSITION ? s + length : s + dot;
}

char* path_split_name(char* s) {
    const size_t i = last_sep_before(s, strlen(s));
    if (i == NO_POSITION) return s;
    s[i] = '\0';
    return s + i + 1;
}

char* path_split_ext(char* s) {
    const size_t length = strlen(s);
    const size_t dot = ext_dot(s, length);
    if (dot == NO_POSITION) return s + length;
    s[dot] = '\0';
    return s + dot + 1;
}

// --- path_combine ---------------------------------------------------------------

namespace {

// Appends bytes to o (length bytes long), cut silently so that o never holds
// more than 521 bytes, and terminates it. The new length.
size_t append(char* o, size_t length, const char* bytes, size_t count) {
    if (count > PATH_TEXT_MAX - length) count = PATH_TEXT_MAX - length;
    memcpy(o + length, bytes, count);
    length += count;
    o[length] = '\0';
    return length;
}

}  // namespace

bool path_combine(char* o, const char* b, const char* r) {
    // The bounded copy also clears the rest of o.
    str_copy_bounded(o, b, PATH_BUFFER_SIZE);
    size_t length = strlen(o);

    for (const char* component = r;;) {
        const size_t component_length = mbs_cspn(component, "/\\");
        const bool is_dot = component_length == 1 && component[0] == '.';
        const bool is_dot_dot = component_length == 2 && component[0] == '.' && component[1] == '.';
        if (is_dot_dot) {
            if (ends_with_sep(o, length)) o[--length] = '\0';
            if (length == 0) return false;
            const size_t sep = last_sep_before(o, length);
            length = sep == NO_POSITION ? 0 : sep;
            o[length] = '\0';
        } else if (!is_dot) {
            // An empty component adds just the separator, so a relative
            // path that is empty or ends in a separator leaves one at the end.
            if (length > 0 && !ends_with_sep(o, length)) length = append(o, length, "\\", 1);
            length = append(o, length, component, component_length);
        }
        if (component[component_length] == '\0') return true;
        component += component_length + 1;
    }
}
