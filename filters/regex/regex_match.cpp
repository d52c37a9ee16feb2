// The search: a backtracking walk over the state graph that tries each
// state's transitions in list order and follows the first that reaches the
// accepting state.
//
// The walk is the recursion walk(state, p) -> end or none, kept on a heap
// stack of frames, one per transition taken, so no name or graph can
// overflow the thread's stack. A transition's mark is the position at which
// the current path is trying it: taking it again at the same position would
// go round a loop that consumes nothing, so a marked transition is skipped.
// Marks are put back when a transition fails, and stay while it succeeds.
//
// Lookaheads: the body of "(?=X)" or "(?!X)" and everything after it lie on
// one path. A negative lookahead whose path reaches the accepting state
// fails; then every mark set along that path is put back as well, so later
// paths see the marks as if the body had never been tried.
//
// Remembered failures. Because failed walks put every mark back, the marks
// are always those of the current path, and the path lies at or before the
// position in hand. So a walk from (state, p) that skipped no transition for
// a mark set outside it would fail again from anywhere: entered by consuming
// a character it cannot meet an outside mark at all, and otherwise the other
// path's marks can only take choices away, which cannot turn a failure into
// a match unless a negative lookahead turns a failed body into success.
// Such failures are kept for the rest of the search (known_failed), which
// makes nested repetitions such as '(a|a)*b' or 'a{0,500}b' polynomial.
//
// Each search also has a step budget (one step per transition looked at);
// when it runs out the search gives up and says so. Neither the remembered
// failures nor the budget changes a result the search reaches.
#include <string.h>

#include "filters/regex/regex_internal.h"
#include "text/mbs.h"

struct regex_frame_t {
    const char* p;          // the position this level of the walk is at
    regex_transition_t* t;  // the transition being tried, or the next to try
    const char* old_mark;   // t's mark and its level before this level set it
    uint32_t old_depth;
    int32_t state;
    // The lowest level whose mark made this walk, or one inside it, skip a
    // transition: below this level's own, the failure depends on the path.
    uint32_t lowest_skip;
    bool consumed;  // entered by consuming a character
};

namespace {

unsigned int ascii_lower(unsigned int c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}
unsigned int ascii_upper(unsigned int c) {
    return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

constexpr uint32_t NO_SKIP = 0xFFFFFFFFu;
// Failed walks are remembered only while the table stays this small.
constexpr size_t MAX_FAILED_WORDS = (size_t)1 << 19;  // 4 MiB

struct search_t {
    regex_program_t* program;
    const char* begin;
    regex_span_t* slots;
    int32_t slot_count;
    int64_t steps;
    uint32_t generation;
    size_t row_words;  // words per position in program->failed; 0: nothing is remembered
};

const char* mark_of(const search_t& search, const regex_transition_t* t) {
    return t->mark_generation == search.generation ? t->mark : nullptr;
}

void set_mark(const search_t& search, regex_transition_t* t, const char* p, uint32_t depth) {
    t->mark = p;
    t->mark_depth = depth;
    t->mark_generation = search.generation;
}

bool known_failed(const search_t& search, int32_t state, const char* p) {
    if (search.row_words == 0) return false;
    const size_t row = (size_t)(p - search.begin);
    return (search.program->failed[row * search.row_words + (size_t)state / 64] >> (state % 64)) & 1;
}

// Keeps the failure of the walk of frame `level`, when it does not depend
// on the path that led there.
void remember_failure(search_t& search, const regex_frame_t& frame, uint32_t level) {
    regex_program_t* program = search.program;
    if (search.row_words == 0 || level == 0 || frame.lowest_skip < level) return;
    if (!frame.consumed && program->remember_failures < 2) return;
    const size_t row = (size_t)(frame.p - search.begin);
    program->failed[row * search.row_words + (size_t)frame.state / 64] |= (uint64_t)1 << (frame.state % 64);
    if (program->dirty_from == program->dirty_to) {
        program->dirty_from = row;
        program->dirty_to = row + 1;
    } else {
        if (row < program->dirty_from) program->dirty_from = row;
        if (row + 1 > program->dirty_to) program->dirty_to = row + 1;
    }
}

// Clears what the last search remembered and makes room for this subject;
// without room, this search remembers nothing.
size_t prepare_failures(regex_program_t* program, const char* subject) {
    if (program->remember_failures == 0) return 0;
    const size_t row_words = ((size_t)program->graph->count + 63) / 64;
    if (program->failed != nullptr && program->dirty_to > program->dirty_from) {
        memset(program->failed + program->dirty_from * row_words, 0,
               (program->dirty_to - program->dirty_from) * row_words * sizeof(uint64_t));
    }
    program->dirty_from = program->dirty_to = 0;
    const size_t rows = strlen(subject) + 1;
    if (rows > MAX_FAILED_WORDS / row_words) return 0;
    const size_t words = rows * row_words;
    if (words > program->failed_words) {
        uint64_t* grown = (uint64_t*)calloc(words, sizeof(uint64_t));
        if (grown == nullptr) return 0;
        free(program->failed);
        program->failed = grown;
        program->failed_words = words;
    }
    return row_words;
}

bool transition_test(const regex_transition_t* t, const char* p, const char* begin) {
    switch (t->kind) {
        case RX_EOL:
            return *p == '\0' || *p == '\r' || *p == '\n';
        case RX_BOL:
            return p == begin;
        default:
            break;
    }
    if (t->is_epsilon) return true;
    if (*p == '\0') return false;
    switch (t->kind) {
        case RX_ANY:
            return true;
        case RX_CLASS:
            return regex_class_test(t->char_class, mbs_char(p));
        case RX_CHAR: {
            const unsigned int s = mbs_char(p);
            return s == t->codes[0] || s == t->codes[1];
        }
        default:
            return false;
    }
}

bool grow_frames(regex_program_t* program) {
    const size_t grown = program->frame_capacity ? program->frame_capacity * 2 : 256;
    regex_frame_t* moved = (regex_frame_t*)realloc(program->frames, grown * sizeof(regex_frame_t));
    if (moved == nullptr) return false;
    program->frames = moved;
    program->frame_capacity = grown;
    return true;
}

void note_skip(regex_frame_t* frame, uint32_t level) {
    if (level < frame->lowest_skip) frame->lowest_skip = level;
}

enum walk_result_t { WALK_MATCH, WALK_NO_MATCH, WALK_GAVE_UP };

// The walk from state 0 at start; on a match *end is its end. Frame i of
// program->frames is level i; a mark set by level i has mark_depth i.
walk_result_t walk(search_t& search, const char* start, const char** end) {
    regex_program_t* program = search.program;
    const regex_state_t* states = program->graph->states;
    if (states[0].is_final) {
        *end = start;
        return WALK_MATCH;
    }
    if (program->frame_capacity == 0 && !grow_frames(program)) return WALK_GAVE_UP;
    size_t depth = 1;
    program->frames[0] = {start, states[0].first, nullptr, 0, 0, NO_SKIP, false};

    for (;;) {
        // Try the transitions of the top frame from its current one on. A
        // result travels down to frame at - 1, as what its transition's
        // take gave.
        const uint32_t level = (uint32_t)(depth - 1);
        regex_frame_t* frame = &program->frames[level];
        const char* result = nullptr;
        size_t at = 0;
        bool returned = false;
        while (frame->t != nullptr) {
            if (++search.steps > program->step_limit) return WALK_GAVE_UP;
            regex_transition_t* t = frame->t;
            const char* old_mark = mark_of(search, t);
            if (old_mark == frame->p) {
                note_skip(frame, t->mark_depth);
                frame->t = t->next;
                continue;
            }
            const uint32_t old_depth = t->mark_depth;
            set_mark(search, t, frame->p, level);
            frame->old_mark = old_mark;
            frame->old_depth = old_depth;
            const char* next = frame->p;
            bool taken = transition_test(t, frame->p, search.begin);
            if (taken) {
                if (!t->is_epsilon) next = mbs_next(frame->p);
                // With a negative lookahead, only a walk entered the same
                // way, by consuming a character, is known to fail again.
                if (!t->is_epsilon || program->remember_failures == 2) {
                    taken = !known_failed(search, t->target, next);
                }
            }
            if (!taken) {
                if (t->kind == RX_NOT_AHEAD) {
                    // The body cannot match: the lookahead holds here.
                    result = frame->p;
                    at = depth - 1;
                    returned = true;
                    break;
                }
                set_mark(search, t, old_mark, old_depth);
                frame->t = t->next;
                continue;
            }
            if (states[t->target].is_final) {
                result = next;
                at = depth;
                returned = true;
                break;
            }
            if (depth == program->frame_capacity && !grow_frames(program)) return WALK_GAVE_UP;
            program->frames[depth++] = {next,    states[t->target].first, nullptr, 0, t->target,
                                        NO_SKIP, !t->is_epsilon};
            frame = nullptr;
            break;
        }
        if (frame == nullptr) continue;  // went one level deeper

        if (!returned) {
            // Every transition of the top frame failed: its walk gives none
            // to the frame below, whose transition therefore failed.
            remember_failure(search, *frame, level);
            const uint32_t lowest_skip = frame->lowest_skip;
            if (--depth == 0) return WALK_NO_MATCH;
            regex_frame_t* below = &program->frames[depth - 1];
            note_skip(below, lowest_skip);
            regex_transition_t* t = below->t;
            if (t->kind == RX_NOT_AHEAD) {
                result = below->p;
                at = depth - 1;
            } else {
                set_mark(search, t, below->old_mark, below->old_depth);
                below->t = t->next;
                continue;
            }
        }

        // A position travels down: frame at - 1's transition took it.
        bool resumed = false;
        while (at > 0) {
            regex_frame_t* taker = &program->frames[at - 1];
            regex_transition_t* t = taker->t;
            if (t->kind == RX_OPEN || t->kind == RX_CLOSE) {
                if (t->group >= 0 && t->group < search.slot_count) {
                    regex_span_t& slot = search.slots[t->group];
                    if (t->kind == RX_OPEN && slot.start == nullptr) slot.start = taker->p;
                    if (t->kind == RX_CLOSE && slot.end == nullptr) slot.end = taker->p;
                }
            } else if (t->kind == RX_AHEAD) {
                result = taker->p;
            } else if (t->kind == RX_NOT_AHEAD) {
                // The body and the rest matched: the lookahead fails. Put
                // back the marks of the whole path above it, newest first.
                for (size_t i = depth; i > at; --i) {
                    const regex_frame_t& above = program->frames[i - 1];
                    set_mark(search, above.t, above.old_mark, above.old_depth);
                    note_skip(taker, above.lowest_skip);
                }
                set_mark(search, t, taker->old_mark, taker->old_depth);
                depth = at;
                taker->t = t->next;
                resumed = true;
                break;
            }
            --at;
        }
        if (resumed) continue;
        *end = result;
        return WALK_MATCH;
    }
}

}  // namespace

bool regex_char_equal(const unsigned char ch[2], const char* p, int32_t options) {
    unsigned int c = regex_char_code(ch);
    unsigned int s = mbs_char(p);
    if (!(options & RX_IGNORE_CASE)) return c == s;
    if ((c > 255) != (s > 255)) return false;
    if (c > 255) {
        c = to_halfwidth(c);
        s = to_halfwidth(s);
        if ((c > 255) != (s > 255)) return false;
    }
    if (c >= 1 && c <= 255) c = ascii_lower(c);
    if (s >= 1 && s <= 255) s = ascii_lower(s);
    return c == s;
}

void regex_char_codes(const unsigned char ch[2], int32_t options, unsigned int codes[2]) {
    const unsigned int c = regex_char_code(ch);
    codes[0] = c;
    codes[1] = 0;
    if (!(options & RX_IGNORE_CASE)) return;
    if (c <= 255) {
        // A letter matches itself in either case; anything else only itself.
        codes[0] = ascii_lower(c);
        codes[1] = ascii_upper(c);
        return;
    }
    const unsigned int half = to_halfwidth(c);
    if (half > 255) return;
    // A full-width character with a one-byte form matches the full-width
    // characters whose one-byte forms are equal in lower case: the letter
    // in both cases, or only itself.
    size_t found = 0;
    for (const halfwidth_row_t& row : halfwidth_table) {
        if (ascii_lower(row.half) == ascii_lower(half) && found < 2) codes[found++] = row.full;
    }
}

regex_match_t* regex_search(regex_program_t* program, const char* subject, regex_search_status_t* status) {
    regex_search_status_t ignored;
    if (status == nullptr) status = &ignored;
    *status = REGEX_NOT_FOUND;
    program->last_steps = 0;

    // A new generation clears every mark at once; when the counter wraps,
    // clear them for real.
    if (++program->generation == 0) {
        for (int32_t i = 0; i < program->transition_count; ++i) program->transitions[i].mark_generation = 0;
        program->generation = 1;
    }

    regex_match_t* match = (regex_match_t*)malloc(sizeof(regex_match_t));
    if (match == nullptr) {
        *status = REGEX_GAVE_UP;
        return nullptr;
    }
    match->slot_count = program->slot_count;
    match->slots = (regex_span_t*)malloc((size_t)program->slot_count * sizeof(regex_span_t));
    if (match->slots == nullptr) {
        free(match);
        *status = REGEX_GAVE_UP;
        return nullptr;
    }

    search_t search = {program,
                       subject,
                       match->slots,
                       program->slot_count,
                       0,
                       program->generation,
                       prepare_failures(program, subject)};
    const char* p = subject;
    for (;;) {
        for (int32_t i = 0; i < match->slot_count; ++i) match->slots[i] = {nullptr, nullptr};
        const char* end = nullptr;
        const walk_result_t result = walk(search, p, &end);
        if (result == WALK_MATCH) {
            match->slots[0] = {p, end};
            program->last_steps = search.steps;
            *status = REGEX_FOUND;
            return match;
        }
        if (result == WALK_GAVE_UP) {
            *status = REGEX_GAVE_UP;
            break;
        }
        p = mbs_next(p);
        if (*p == '\0') break;
    }
    program->last_steps = search.steps;
    regex_match_free(match);
    return nullptr;
}

void regex_match_free(regex_match_t* match) {
    if (match == nullptr) return;
    free(match->slots);
    free(match);
}
