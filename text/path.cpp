// Path queries and joins. The backslash is the only separator, and only when
// it is not the second byte of a double-byte character (表 is 0x95 0x5C).
//
// The listing calls these once or more per file, so each query is a single
// forward walk that classifies every byte as it goes, never a backward scan
// that reclassifies from the start at each position.
#include "text/byte_walk.h"
#include "text/mbs.h"

namespace {

constexpr size_t NO_POSITION = (size_t)-1;
constexpr size_t PATH_TEXT_MAX = PATH_BUFFER_SIZE - 1;

// What one walk over a path finds.
struct path_scan_t {
    size_t length;
    size_t first_sep;  // NO_POSITION when there is none
    size_t last_sep;
    size_t ext_dot;  // the last "." after the last separator, or NO_POSITION
};

path_scan_t scan_path(const char* s) {
    path_scan_t scan = {0, NO_POSITION, NO_POSITION, NO_POSITION};
    byte_kind_t kind = BYTE_SINGLE;
    size_t i = 0;
    for (; s[i] != '\0'; ++i) {
        const unsigned char b = (unsigned char)s[i];
        kind = byte_walk_step(kind, b);
        if (byte_walk_is_sep(kind, b)) {
            if (scan.first_sep == NO_POSITION) scan.first_sep = i;
            scan.last_sep = i;
            scan.ext_dot = NO_POSITION;
        } else if (b == '.') {
            // "." is outside the trail range, so it is always a character.
            scan.ext_dot = i;
        }
    }
    scan.length = i;
    return scan;
}

const char* at_or_null(const char* s, size_t i) {
    return i == NO_POSITION ? nullptr : s + i;
}

}  // namespace

bool path_is_sep_at(const char* s, size_t i) {
    return s[i] == '\\' && mbs_byte_type(s, i) == 0;
}

const char* path_find_sep(const char* s) {
    byte_kind_t kind = BYTE_SINGLE;
    for (const char* p = s; *p != '\0'; ++p) {
        kind = byte_walk_step(kind, (unsigned char)*p);
        if (byte_walk_is_sep(kind, (unsigned char)*p)) return p;
    }
    return nullptr;
}

const char* path_find_last_sep(const char* s) {
    return at_or_null(s, scan_path(s).last_sep);
}

const char* path_find_trailing_sep(const char* s) {
    const path_scan_t scan = scan_path(s);
    if (scan.last_sep == NO_POSITION || scan.last_sep + 1 != scan.length) return nullptr;
    return s + scan.last_sep;
}

bool path_has_trailing_sep(const char* s) {
    return path_find_trailing_sep(s) != nullptr;
}

const char* path_find_name(const char* s) {
    const path_scan_t scan = scan_path(s);
    return scan.last_sep == NO_POSITION ? s : s + scan.last_sep + 1;
}

const char* path_find_ext(const char* s) {
    const path_scan_t scan = scan_path(s);
    return scan.ext_dot == NO_POSITION ? s + scan.length : s + scan.ext_dot;
}

char* path_split_name(char* s) {
    const path_scan_t scan = scan_path(s);
    if (scan.last_sep == NO_POSITION) return s;
    s[scan.last_sep] = '\0';
    return s + scan.last_sep + 1;
}

char* path_split_ext(char* s) {
    const path_scan_t scan = scan_path(s);
    if (scan.ext_dot == NO_POSITION) return s + scan.length;
    s[scan.ext_dot] = '\0';
    return s + scan.ext_dot + 1;
}

// --- path_combine ---------------------------------------------------------------

namespace {

// The output of a join while it is built. The separators of o are kept on a
// stack so that ".." finds the last one without walking o again.
struct path_builder_t {
    char* o;
    size_t length;
    byte_kind_t last_kind;  // kind of o[length - 1]; BYTE_SINGLE when empty
    unsigned short seps[PATH_BUFFER_SIZE];
    size_t sep_count;
};

bool ends_with_sep(const path_builder_t* pb) {
    return pb->sep_count > 0 && pb->seps[pb->sep_count - 1] + 1u == pb->length;
}

// Classifies the byte at o[length] and makes it part of o.
void take_byte(path_builder_t* pb) {
    const unsigned char b = (unsigned char)pb->o[pb->length];
    pb->last_kind = byte_walk_step(pb->last_kind, b);
    if (byte_walk_is_sep(pb->last_kind, b)) pb->seps[pb->sep_count++] = (unsigned short)pb->length;
    ++pb->length;
}

// Appends bytes, cut silently so that o never holds more than 521 bytes.
void append(path_builder_t* pb, const char* bytes, size_t count) {
    for (size_t k = 0; k < count && pb->length < PATH_TEXT_MAX; ++k) {
        pb->o[pb->length] = bytes[k];
        take_byte(pb);
    }
    pb->o[pb->length] = '\0';
}

// Cuts o to its first `length` bytes. Only called at a separator or at the
// start, and a separator never follows a pending lead byte, so the byte
// before the cut never leaves a lead byte pending.
void cut(path_builder_t* pb, size_t length) {
    pb->length = length;
    pb->last_kind = BYTE_SINGLE;
    pb->o[length] = '\0';
}

// ".." : removes the last component of o; false when o has none left.
bool remove_last_component(path_builder_t* pb) {
    if (ends_with_sep(pb)) cut(pb, pb->seps[--pb->sep_count]);
    if (pb->length == 0) return false;
    cut(pb, pb->sep_count > 0 ? pb->seps[--pb->sep_count] : 0);
    return true;
}

}  // namespace

bool path_combine(char* o, const char* b, const char* r) {
    path_builder_t pb;
    pb.o = o;
    pb.length = 0;
    pb.last_kind = BYTE_SINGLE;
    pb.sep_count = 0;
    // The bounded copy also clears the rest of o (and allows o == b).
    str_copy_bounded(o, b, PATH_BUFFER_SIZE);
    while (o[pb.length] != '\0') take_byte(&pb);

    for (const char* component = r;;) {
        const size_t length = mbs_cspn(component, "/\\");
        const bool is_dot = length == 1 && component[0] == '.';
        const bool is_dot_dot = length == 2 && component[0] == '.' && component[1] == '.';
        if (is_dot_dot) {
            if (!remove_last_component(&pb)) return false;
        } else if (!is_dot) {
            // An empty component adds just the separator, so a relative
            // path that is empty or ends in a separator leaves one at the end.
            if (pb.length > 0 && !ends_with_sep(&pb)) append(&pb, "\\", 1);
            append(&pb, component, length);
        }
        if (component[length] == '\0') return true;
        component += length + 1;
    }
}
