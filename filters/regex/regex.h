// The program's own regular-expression dialect: compiler and matcher.
//
// regex_compile turns a pattern (code page 932 text) into a graph of numbered
// states joined by ordered transitions; regex_search walks that graph with a
// backtracking search for the first match. No pattern is refused: malformed
// constructs read as literal text. State 0 is the start state, state 1 the
// only accepting state. The order of a state's transitions is the order in
// which the search tries them.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Node kinds of the syntax tree; a transition keeps the kind of its node.
enum regex_kind_t : int32_t {
    RX_EMPTY = 0,
    RX_OPEN = 1,
    RX_CLOSE = 2,
    RX_CHAR = 3,
    RX_BOL = 4,
    RX_EOL = 5,
    RX_CLASS = 6,
    RX_ALT = 7,
    RX_CAT = 8,
    RX_STAR = 9,
    RX_LAZY_STAR = 10,
    RX_AHEAD = 11,
    RX_AHEAD_END = 12,
    RX_NOT_AHEAD = 13,
    RX_NOT_AHEAD_END = 14,
    RX_ANY = 15,
};

// Transition option: compare letters without regard to case. The compiler
// sets it on every transition.
constexpr int32_t RX_IGNORE_CASE = 2;

// Bounds of a compiled program. A pattern that needs more compiles to no
// program (the filter then passes every name).
constexpr int32_t REGEX_MAX_STATES = 100000;
constexpr int32_t REGEX_MAX_TREE_NODES = 500000;
// Steps (transitions looked at) one search may take before it gives up.
constexpr int64_t REGEX_STEP_LIMIT = 3000000;

struct regex_class_t;  // a bracket text read once at compile time
struct regex_frame_t;  // one level of the search's backtracking stack

struct regex_transition_t {
    unsigned char is_epsilon;  // taking it consumes no character
    int32_t kind;              // regex_kind_t of the node it was made from
    unsigned char ch[2];       // RX_CHAR: first byte, second byte or 0
    int32_t options;           // RX_IGNORE_CASE
    const char* text;          // RX_CLASS: the bracket text (owned by `char_class`)
    int32_t target;            // state the transition leads to
    int32_t group;             // RX_OPEN, RX_CLOSE: the group number
    // Where the current search path is trying this transition. It reads as
    // none unless `mark_generation` is the program's current generation, so
    // a search clears every mark by counting the generation up.
    const char* mark;
    uint32_t mark_generation;
    uint32_t mark_depth;       // the level of the search stack that set the mark
    regex_transition_t* next;  // next transition of the same source state

    // Read at compile time so that a test costs a comparison or two:
    // RX_CHAR matches exactly the character codes codes[0] and codes[1];
    // RX_CLASS tests through char_class.
    unsigned int codes[2];
    const regex_class_t* char_class;
};

struct regex_state_t {
    unsigned char is_final;     // true for state 1 only
    regex_transition_t* first;  // in try order; null when none leave
};

struct regex_graph_t {
    int32_t count;
    regex_state_t* states;
};

struct regex_program_t {
    int32_t slot_count;  // groups + 1; slot 0 is the whole match
    regex_graph_t* graph;

    // Steps a search may take; REGEX_STEP_LIMIT unless changed.
    int64_t step_limit;
    // Steps the last search took.
    int64_t last_steps;

    // Owned storage: every transition, and the bracket texts they share.
    regex_transition_t* transitions;
    int32_t transition_count;
    regex_class_t* classes;
    // Search working storage, kept from one search to the next.
    uint32_t generation;
    regex_frame_t* frames;
    size_t frame_capacity;
    // Walks known to fail: bit (position, state) is set once the walk from
    // that state at that position has found nothing in a way that no other
    // path could change (see regex_match.cpp). remember_failures: 0 never,
    // 1 for walks entered by consuming a character, 2 for every such walk.
    // Rows (one per position) touched by the last search are
    // [dirty_from, dirty_to).
    int32_t remember_failures;
    uint64_t* failed;
    size_t failed_words;
    size_t dirty_from, dirty_to;
};

struct regex_span_t {
    const char* start;  // null while not set
    const char* end;
};

struct regex_match_t {
    int32_t slot_count;
    regex_span_t* slots;  // slot 0 the whole match, slot n group n
};

enum regex_compile_status_t {
    REGEX_COMPILED,
    REGEX_TOO_LARGE,  // over REGEX_MAX_STATES or REGEX_MAX_TREE_NODES
    REGEX_NO_MEMORY,
};

enum regex_search_status_t {
    REGEX_FOUND,
    REGEX_NOT_FOUND,
    REGEX_GAVE_UP,  // step limit reached, or no memory for the search stack
};

// Compiles a NUL-terminated pattern. Null only when the program is too large
// or memory runs out; status (optional) says which.
regex_program_t* regex_compile(const char* pattern, regex_compile_status_t* status = nullptr);
void regex_free(regex_program_t* program);

// The first match in subject, or null. Positions in the result point into
// subject; release it with regex_match_free. A search that gives up returns
// null with status REGEX_GAVE_UP. One program serves one search at a time.
regex_match_t* regex_search(regex_program_t* program, const char* subject,
                            regex_search_status_t* status = nullptr);
void regex_match_free(regex_match_t* match);

// The one-byte form of a full-width character code; any other code unchanged.
unsigned int to_halfwidth(unsigned int code);

// Writes the graph as text (snprintf-style: the result is the length the
// whole text needs; out may be null when size is 0): a line "states N", then
// one line per state, "S:" and its transitions in try order, each written as
// its kind and ">" target. Kinds: 'x' a character (\xHH for bytes outside
// printable ASCII), [text] a class, . any, e empty, (n and )n group n,
// ^ $ (?= =) (?! !) for anchors and lookaheads, * and *? for repetition.
size_t regex_dump(const regex_program_t* program, char* out, size_t size);
