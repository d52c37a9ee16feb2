// Reference versions of the regular-expression parser, bracket reading and
// matcher, for tests and fuzzers only: plain recursive transcriptions of the
// dialect's rules, slow where the real ones are careful (the parser re-parses
// the text after every "(" that does not close, which is exponential in their
// number; a bracket is read afresh at every test; the matcher recurses once
// per transition taken).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "filters/regex/regex.h"
#include "filters/regex/regex_internal.h"
#include "text/mbs.h"

namespace test {

// --- Parser -------------------------------------------------------------------------

struct reference_node_t {
    int kind = RX_EMPTY;
    unsigned char ch[2] = {0, 0};
    std::string text;
    int group = 0;
    std::unique_ptr<reference_node_t> left, right;
};
using reference_tree_t = std::unique_ptr<reference_node_t>;

inline reference_tree_t reference_leaf(int kind) {
    reference_tree_t node(new reference_node_t);
    node->kind = kind;
    return node;
}

inline reference_tree_t reference_pair(int kind, reference_tree_t left, reference_tree_t right) {
    reference_tree_t node = reference_leaf(kind);
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
}

inline reference_tree_t reference_clone(const reference_node_t* node) {
    if (node == nullptr) return nullptr;
    reference_tree_t copy = reference_leaf(node->kind);
    copy->ch[0] = node->ch[0];
    copy->ch[1] = node->ch[1];
    copy->text = node->text;
    copy->group = node->group;
    copy->left = reference_clone(node->left.get());
    copy->right = reference_clone(node->right.get());
    return copy;
}

class reference_parser_t {
public:
    explicit reference_parser_t(const char* pattern) : cursor_(pattern) {}

    reference_tree_t parse(int* counter) { return alternation(counter); }
    // Token reads so far, to show how much work a pattern takes.
    long token_reads() const { return token_reads_; }

private:
    const char* cursor_;
    int depth_ = 0;
    long token_reads_ = 0;

    int peek(regex_token_t* token, const char** end) {
        ++token_reads_;
        *end = regex_next_token(token, cursor_);
        return token->type;
    }

    bool ends(int type) const { return type == TK_BAR || type == TK_END || (type == TK_CLOSE && depth_ > 0); }

    reference_tree_t alternation(int* counter) {
        reference_tree_t tree = sequence(counter);
        regex_token_t token;
        const char* end;
        while (peek(&token, &end) == TK_BAR) {
            cursor_ = end;
            reference_tree_t branch = sequence(counter);
            tree = reference_pair(RX_ALT, std::move(branch), std::move(tree));
        }
        return tree;
    }

    reference_tree_t sequence(int* counter) {
        regex_token_t token;
        const char* end;
        if (ends(peek(&token, &end))) return reference_leaf(RX_EMPTY);
        reference_tree_t tree = item(counter);
        while (!ends(peek(&token, &end))) {
            reference_tree_t next = item(counter);
            tree = reference_pair(RX_CAT, std::move(tree), std::move(next));
        }
        return tree;
    }

    reference_tree_t item(int* counter) { return quantifier(atom(counter)); }

    reference_tree_t literal(unsigned char first, unsigned char second) {
        reference_tree_t node = reference_leaf(RX_CHAR);
        node->ch[0] = first;
        node->ch[1] = second;
        return node;
    }

    reference_tree_t atom(int* counter) {
        regex_token_t token;
        const char* start = cursor_;
        ++token_reads_;
        cursor_ = regex_next_token(&token, cursor_);
        switch (token.type) {
            case TK_OPEN:
            case TK_AHEAD:
            case TK_NOT_AHEAD: {
                reference_tree_t result;
                if (group(counter, token.type, &result)) return result;
                cursor_ = start + 1;
                return literal('(', 0);
            }
            case TK_ANY:
                return reference_leaf(RX_ANY);
            case TK_BOL:
                return reference_leaf(RX_BOL);
            case TK_EOL:
                return reference_leaf(RX_EOL);
            case TK_CLASS: {
                reference_tree_t node = reference_leaf(RX_CLASS);
                node->text = token.text;
                return node;
            }
            case TK_CHAR:
                return literal(token.ch[0], token.ch[1]);
            default:
                cursor_ = start + 1;
                return literal(token.ch[0], 0);
        }
    }

    bool group(int* counter, int type, reference_tree_t* result) {
        const char* body_start = cursor_;
        ++depth_;
        int local = type == TK_OPEN ? *counter + 1 : *counter;
        reference_tree_t body = alternation(&local);
        regex_token_t token;
        const char* end;
        if (peek(&token, &end) != TK_CLOSE) {
            --depth_;
            cursor_ = body_start;
            return false;
        }
        cursor_ = end;
        --depth_;
        const int number = *counter + 1;
        *counter = local;
        int open = RX_OPEN, close = RX_CLOSE, group_number = number;
        if (type == TK_AHEAD) {
            open = RX_AHEAD;
            close = RX_AHEAD_END;
            group_number = 0;
        } else if (type == TK_NOT_AHEAD) {
            open = RX_NOT_AHEAD;
            close = RX_NOT_AHEAD_END;
            group_number = 0;
        }
        reference_tree_t open_node = reference_leaf(open), close_node = reference_leaf(close);
        open_node->group = close_node->group = group_number;
        *result = reference_pair(RX_CAT, std::move(open_node),
                                 reference_pair(RX_CAT, std::move(body), std::move(close_node)));
        return true;
    }

    reference_tree_t counted(reference_tree_t x, int m, int n, bool lazy) {
        reference_tree_t tail;
        if (n == 0) {
            tail = reference_pair(lazy ? RX_LAZY_STAR : RX_STAR, reference_clone(x.get()), nullptr);
        } else {
            tail = reference_leaf(RX_EMPTY);
        }
        for (long long i = (long long)n - m; i > 0; --i) {
            reference_tree_t opt =
                lazy ? reference_pair(RX_ALT, reference_clone(x.get()), reference_leaf(RX_EMPTY))
                     : reference_pair(RX_ALT, reference_leaf(RX_EMPTY), reference_clone(x.get()));
            tail = reference_pair(RX_CAT, std::move(tail), std::move(opt));
        }
        for (int i = m; i > 0; --i) tail = reference_pair(RX_CAT, reference_clone(x.get()), std::move(tail));
        if (m == 0) {
            tail = lazy ? reference_pair(RX_ALT, std::move(tail), reference_leaf(RX_EMPTY))
                        : reference_pair(RX_ALT, reference_leaf(RX_EMPTY), std::move(tail));
        }
        return tail;
    }

    reference_tree_t quantifier(reference_tree_t x) {
        regex_token_t token;
        const char* end;
        const int type = peek(&token, &end);
        switch (type) {
            case TK_STAR:
            case TK_LAZY_STAR:
                cursor_ = end;
                return reference_pair(type == TK_STAR ? RX_STAR : RX_LAZY_STAR, std::move(x), nullptr);
            case TK_PLUS:
            case TK_LAZY_PLUS: {
                cursor_ = end;
                reference_tree_t copy = reference_clone(x.get());
                return reference_pair(
                    RX_CAT, std::move(copy),
                    reference_pair(type == TK_PLUS ? RX_STAR : RX_LAZY_STAR, std::move(x), nullptr));
            }
            case TK_OPT:
                cursor_ = end;
                return reference_pair(RX_ALT, reference_leaf(RX_EMPTY), std::move(x));
            case TK_LAZY_OPT:
                cursor_ = end;
                return reference_pair(RX_ALT, std::move(x), reference_leaf(RX_EMPTY));
            case TK_COUNT:
            case TK_LAZY_COUNT:
                cursor_ = end;
                return counted(std::move(x), token.min, token.max, type == TK_LAZY_COUNT);
            default:
                return x;
        }
    }
};

// Empty when the trees are equal, otherwise what first differs (and after how
// many nodes, in preorder). Iterative: counted repetitions make deep trees.
inline std::string reference_tree_difference(const reference_node_t* want_root,
                                             const regex_node_t* got_root) {
    std::vector<std::pair<const reference_node_t*, const regex_node_t*>> pending{{want_root, got_root}};
    for (size_t visited = 0; !pending.empty(); ++visited) {
        const reference_node_t* want = pending.back().first;
        const regex_node_t* got = pending.back().second;
        pending.pop_back();
        const std::string where = "node " + std::to_string(visited);
        if (want == nullptr || got == nullptr) {
            if ((want == nullptr) != (got == nullptr)) return where + ": one side has no node";
            continue;
        }
        if (want->kind != got->kind) {
            return where + ": kind " + std::to_string(got->kind) + ", expected " + std::to_string(want->kind);
        }
        if (want->ch[0] != got->ch[0] || want->ch[1] != got->ch[1]) return where + ": character differs";
        if (want->group != got->group) {
            return where + ": group " + std::to_string(got->group) + ", expected " +
                   std::to_string(want->group);
        }
        if (want->kind == RX_CLASS && (got->char_class == nullptr || want->text != got->char_class->text)) {
            return where + ": class text differs";
        }
        pending.push_back({want->right.get(), got->right});
        pending.push_back({want->left.get(), got->left});
    }
    return "";
}

// --- Bracket texts ------------------------------------------------------------------

inline bool reference_class_match(const char* text, unsigned int s);

// The code of an escape's expansion when it is one character.
inline bool reference_one_character(const char* expansion, unsigned int* code) {
    const unsigned char first = (unsigned char)expansion[0];
    if (first != 0 && expansion[1] == '\0') {
        *code = first;
        return true;
    }
    if (mbs_is_lead_byte(first) && expansion[1] != '\0' && expansion[2] == '\0') {
        *code = first * 256u + (unsigned char)expansion[1];
        return true;
    }
    return false;
}

// True when an item of the text (after any "^") holds s: a character, a
// range "lo-hi" whose ends may be one-character escapes, or an escape that
// stands for a class. Codes compared exactly.
inline bool reference_items_hold(const char* q, unsigned int s) {
    char expansion[REGEX_TEXT_SIZE];
    while (*q != '\0') {
        unsigned int lo;
        if (*q == '\\') {
            q = regex_expand_escape(expansion, q);
            if (!reference_one_character(expansion, &lo)) {
                if (reference_class_match(expansion, s)) return true;
                continue;
            }
        } else {
            lo = mbs_char(q);
            q = mbs_next(q);
        }
        unsigned int hi = lo;
        if (q[0] == '-' && q[1] == '\\') {
            const char* after = regex_expand_escape(expansion, q + 1);
            if (reference_one_character(expansion, &hi)) q = after;
        } else if (q[0] == '-' && q[1] != '\0') {
            hi = mbs_char(q + 1);
            q = mbs_next(q + 1);
        }
        if (lo <= s && s <= hi) return true;
    }
    return false;
}

// A bracket text against the character code s: s is in it when s, or the
// same ASCII letter in the other case, is held by an item; a leading "^"
// negates the result.
inline bool reference_class_match(const char* text, unsigned int s) {
    const bool negated = text[0] == '^';
    const char* items = negated ? text + 1 : text;
    bool found = reference_items_hold(items, s);
    if (s >= 'A' && s <= 'Z') found = found || reference_items_hold(items, s - 'A' + 'a');
    if (s >= 'a' && s <= 'z') found = found || reference_items_hold(items, s - 'a' + 'A');
    return found != negated;
}

// --- Matcher ------------------------------------------------------------------------

struct reference_result_t {
    bool gave_up = false;  // more than step_limit steps
    bool found = false;
    std::vector<regex_span_t> slots;
    long long steps = 0;
};

// The search over program's graph, with marks of its own. With
// undo_lookahead_body false it leaves the marks of a negative lookahead's
// matched body in place, the fault that the real matcher mends.
class reference_matcher_t {
public:
    reference_matcher_t(const regex_program_t* program, long long step_limit, bool undo_lookahead_body = true)
        : program_(program), limit_(step_limit), undo_(undo_lookahead_body) {}

    reference_result_t search(const char* subject) {
        reference_result_t result;
        marks_.assign((size_t)program_->transition_count, nullptr);
        trail_.clear();
        steps_ = 0;
        gave_up_ = false;
        slots_.assign((size_t)program_->slot_count, regex_span_t{nullptr, nullptr});
        const char* p = subject;
        for (;;) {
            for (regex_span_t& slot : slots_) slot = {nullptr, nullptr};
            const char* end = walk(subject, p, 0);
            if (gave_up_) break;
            if (end != nullptr) {
                slots_[0] = {p, end};
                result.found = true;
                result.slots = slots_;
                break;
            }
            p = mbs_next(p);
            if (*p == '\0') break;
        }
        result.gave_up = gave_up_;
        result.steps = steps_;
        return result;
    }

private:
    const regex_program_t* program_;
    long long limit_;
    bool undo_;
    std::vector<const char*> marks_;
    std::vector<std::pair<size_t, const char*>> trail_;
    std::vector<regex_span_t> slots_;
    long long steps_ = 0;
    bool gave_up_ = false;

    void undo_to(size_t size) {
        while (trail_.size() > size) {
            marks_[trail_.back().first] = trail_.back().second;
            trail_.pop_back();
        }
    }

    static bool test(const regex_transition_t* t, const char* p, const char* begin) {
        if (t->kind == RX_EOL) return mbs_chr("\r\n", mbs_char(p)) != nullptr;
        if (t->kind == RX_BOL) return p == begin;
        if (t->is_epsilon) return true;
        if (*p == '\0') return false;
        if (t->kind == RX_ANY) return true;
        if (t->kind == RX_CLASS) return reference_class_match(t->text, mbs_char(p));
        if (t->kind == RX_CHAR) return regex_char_equal(t->ch, p, t->options);
        return false;
    }

    const char* take(const regex_transition_t* t, const char* p, const char* begin) {
        if (!test(t, p, begin)) return nullptr;
        return walk(begin, t->is_epsilon ? p : mbs_next(p), t->target);
    }

    const char* walk(const char* begin, const char* p, int state) {
        if (program_->graph->states[state].is_final) return p;
        for (const regex_transition_t* t = program_->graph->states[state].first; t != nullptr; t = t->next) {
            if (++steps_ > limit_) {
                gave_up_ = true;
                return nullptr;
            }
            const size_t index = (size_t)(t - program_->transitions);
            const char* remembered = marks_[index];
            if (remembered == p) continue;
            const size_t trail_size = trail_.size();
            trail_.push_back({index, remembered});
            marks_[index] = p;
            const char* r = take(t, p, begin);
            if (gave_up_) return nullptr;
            if (r != nullptr) {
                switch (t->kind) {
                    case RX_OPEN:
                        if (slots_[t->group].start == nullptr) slots_[t->group].start = p;
                        return r;
                    case RX_CLOSE:
                        if (slots_[t->group].end == nullptr) slots_[t->group].end = p;
                        return r;
                    case RX_AHEAD:
                        return p;
                    case RX_NOT_AHEAD:
                        if (undo_) {
                            undo_to(trail_size);
                        } else {
                            marks_[index] = remembered;
                        }
                        continue;
                    default:
                        return r;
                }
            }
            if (t->kind == RX_NOT_AHEAD) return p;
            marks_[index] = remembered;
            trail_.resize(trail_size);
        }
        return nullptr;
    }
};

}  // namespace test
