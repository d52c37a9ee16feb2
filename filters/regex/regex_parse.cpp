// The parser: a recursive descent over the tokens that builds the syntax
// tree, loosest binding first: alternation, sequence, quantified item, atom.
//
// Whether an opening parenthesis closes depends only on the text after it,
// so it is found out once per position with a parse that builds nothing
// (group_ends). A group that does not close is then never parsed for real:
// its "(" is a literal at once, and the text after it is parsed once, at the
// outer level, with the group numbers that level gives.
#include <string.h>

#include "filters/regex/regex_internal.h"
#include "text/mbs.h"

namespace {

enum group_sense_t { GROUP_NUMBERED, GROUP_AHEAD, GROUP_NOT_AHEAD };

regex_node_t* parse_alternation(regex_parser_t* parser, int32_t* counter);

void fail(regex_parser_t* parser, regex_compile_status_t status) {
    if (parser->status == REGEX_COMPILED) parser->status = status;
}

bool building(const regex_parser_t* parser) {
    return !parser->dry_run && parser->status == REGEX_COMPILED;
}

// The type of the token at the cursor; the cursor does not move.
int32_t peek(regex_parser_t* parser) {
    parser->token_end = regex_next_token(&parser->token, parser->cursor);
    return parser->token.type;
}

// Steps over the token that peek has just read.
void skip(regex_parser_t* parser) {
    parser->cursor = parser->token_end;
}

regex_node_t* make_leaf(regex_parser_t* parser, int32_t kind) {
    return node_new(parser, kind);
}

regex_node_t* make_char(regex_parser_t* parser, unsigned char first, unsigned char second) {
    regex_node_t* node = node_new(parser, RX_CHAR);
    if (node != nullptr) {
        node->ch[0] = first;
        node->ch[1] = second;
    }
    return node;
}

regex_node_t* make_pair(regex_parser_t* parser, int32_t kind, regex_node_t* left, regex_node_t* right) {
    regex_node_t* node = node_new(parser, kind);
    if (node == nullptr) {
        node_free(parser, left);
        node_free(parser, right);
        return nullptr;
    }
    node->left = left;
    node->right = right;
    return node;
}

regex_node_t* make_group_mark(regex_parser_t* parser, int32_t kind, int32_t group) {
    regex_node_t* node = node_new(parser, kind);
    if (node != nullptr) node->group = group;
    return node;
}

// Every bracket text is read once; the nodes and transitions share it.
regex_node_t* make_class(regex_parser_t* parser, const char* text) {
    if (!building(parser)) return nullptr;
    regex_class_t* found = parser->classes;
    while (found != nullptr && strcmp(found->text, text) != 0) found = found->next;
    if (found == nullptr) {
        found = regex_class_new(text);
        if (found == nullptr) {
            fail(parser, REGEX_NO_MEMORY);
            return nullptr;
        }
        found->next = parser->classes;
        parser->classes = found;
    }
    regex_node_t* node = node_new(parser, RX_CLASS);
    if (node != nullptr) node->char_class = found;
    return node;
}

bool sequence_ends(const regex_parser_t* parser, int32_t type) {
    return type == TK_BAR || type == TK_END || (type == TK_CLOSE && parser->depth > 0);
}

// Finds out, once per position, whether the group whose body starts at the
// cursor closes, and where its ")" ends. Builds nothing.
int32_t find_group_end(regex_parser_t* parser) {
    const size_t offset = (size_t)(parser->cursor - parser->pattern);
    if (parser->group_ends[offset] != 0) return parser->group_ends[offset];
    const char* body = parser->cursor;
    const bool was_dry = parser->dry_run;
    parser->dry_run = true;
    ++parser->depth;
    int32_t unused_counter = 0;
    parse_alternation(parser, &unused_counter);
    int32_t end = -1;
    if (peek(parser) == TK_CLOSE) end = 1 + (int32_t)(parser->token_end - parser->pattern);
    --parser->depth;
    parser->dry_run = was_dry;
    parser->cursor = body;
    parser->group_ends[offset] = end;
    return end;
}

// The opening token has been read. False when the group does not close; the
// cursor is then where it was.
bool parse_group(regex_parser_t* parser, int32_t* counter, group_sense_t sense, regex_node_t** result) {
    *result = nullptr;
    if (parser->depth >= REGEX_MAX_DEPTH) {
        fail(parser, REGEX_TOO_LARGE);
        return false;
    }
    const int32_t end = find_group_end(parser);
    if (end < 0) return false;
    if (parser->dry_run) {
        parser->cursor = parser->pattern + (end - 1);
        return true;
    }

    ++parser->depth;
    int32_t local_counter = sense == GROUP_NUMBERED ? *counter + 1 : *counter;
    regex_node_t* body = parse_alternation(parser, &local_counter);
    // Closes: find_group_end has seen its ")" from this very position.
    parser->cursor = parser->pattern + (end - 1);
    --parser->depth;
    const int32_t number = *counter + 1;
    *counter = local_counter;

    int32_t open_kind = RX_OPEN, close_kind = RX_CLOSE, group = number;
    if (sense == GROUP_AHEAD) {
        open_kind = RX_AHEAD;
        close_kind = RX_AHEAD_END;
        group = 0;
    } else if (sense == GROUP_NOT_AHEAD) {
        open_kind = RX_NOT_AHEAD;
        close_kind = RX_NOT_AHEAD_END;
        group = 0;
    }
    regex_node_t* open = make_group_mark(parser, open_kind, group);
    regex_node_t* close = make_group_mark(parser, close_kind, group);
    *result = make_pair(parser, RX_CAT, open, make_pair(parser, RX_CAT, body, close));
    return true;
}

regex_node_t* parse_atom(regex_parser_t* parser, int32_t* counter) {
    const char* start = parser->cursor;
    parser->cursor = regex_next_token(&parser->token, start);
    const regex_token_t& token = parser->token;
    group_sense_t sense = GROUP_NUMBERED;
    switch (token.type) {
        case TK_AHEAD:
        case TK_NOT_AHEAD:
            sense = token.type == TK_AHEAD ? GROUP_AHEAD : GROUP_NOT_AHEAD;
            // fall through
        case TK_OPEN: {
            regex_node_t* group = nullptr;
            if (parse_group(parser, counter, sense, &group)) return group;
            parser->cursor = start + 1;
            return make_char(parser, '(', 0);
        }
        case TK_ANY:
            return make_leaf(parser, RX_ANY);
        case TK_BOL:
            return make_leaf(parser, RX_BOL);
        case TK_EOL:
            return make_leaf(parser, RX_EOL);
        case TK_CLASS:
            return make_class(parser, token.text);
        case TK_CHAR:
            return make_char(parser, token.ch[0], token.ch[1]);
        default:
            // ")" outside any group, a quantifier with nothing to repeat, a
            // backslash at the end: the literal first byte.
            parser->cursor = start + 1;
            return make_char(parser, token.ch[0], 0);
    }
}

// Nodes in a tree, counting no further than `limit`.
int64_t count_nodes(const regex_node_t* tree, int64_t limit) {
    regex_stack_t<const regex_node_t*> pending;
    int64_t count = 0;
    if (tree == nullptr || !pending.push(tree)) return tree == nullptr ? 0 : limit;
    while (!pending.empty() && count < limit) {
        const regex_node_t* node = pending.pop();
        ++count;
        if ((node->left != nullptr && !pending.push(node->left)) ||
            (node->right != nullptr && !pending.push(node->right))) {
            return limit;
        }
    }
    return count;
}

// X{m,n} as copies of X: m required ones, then n - m optional ones, or a
// repetition when there is no upper bound (n = 0).
regex_node_t* expand_counted(regex_parser_t* parser, regex_node_t* x, int32_t m, int32_t n, bool lazy) {
    if (!building(parser)) {
        node_free(parser, x);
        return nullptr;
    }
    // All the copies and X itself live at once before X is freed: when they
    // cannot fit the tree bound, say so now rather than after building them.
    const int64_t copies = (n == 0 ? 1 : 0) + (n > m ? (int64_t)n - m : 0) + (m > 0 ? m : 0);
    const int64_t room = REGEX_MAX_TREE_NODES - parser->live_nodes;
    if (copies > 0 && copies * count_nodes(x, room + 1) > room) {
        fail(parser, REGEX_TOO_LARGE);
        node_free(parser, x);
        return nullptr;
    }
    regex_node_t* tail;
    if (n == 0) {
        tail = make_pair(parser, lazy ? RX_LAZY_STAR : RX_STAR, node_clone(parser, x), nullptr);
    } else {
        tail = make_leaf(parser, RX_EMPTY);
    }
    for (int64_t i = (int64_t)n - m; i > 0 && building(parser); --i) {
        regex_node_t* opt =
            lazy ? make_pair(parser, RX_ALT, node_clone(parser, x), make_leaf(parser, RX_EMPTY))
                 : make_pair(parser, RX_ALT, make_leaf(parser, RX_EMPTY), node_clone(parser, x));
        tail = make_pair(parser, RX_CAT, tail, opt);
    }
    for (int32_t i = m; i > 0 && building(parser); --i)
        tail = make_pair(parser, RX_CAT, node_clone(parser, x), tail);
    if (m == 0) {
        tail = lazy ? make_pair(parser, RX_ALT, tail, make_leaf(parser, RX_EMPTY))
                    : make_pair(parser, RX_ALT, make_leaf(parser, RX_EMPTY), tail);
    }
    node_free(parser, x);
    return tail;
}

regex_node_t* parse_quantifier(regex_parser_t* parser, regex_node_t* x) {
    const int32_t type = peek(parser);
    switch (type) {
        case TK_STAR:
        case TK_LAZY_STAR:
            skip(parser);
            return make_pair(parser, type == TK_STAR ? RX_STAR : RX_LAZY_STAR, x, nullptr);
        case TK_PLUS:
        case TK_LAZY_PLUS: {
            skip(parser);
            regex_node_t* copy = node_clone(parser, x);
            regex_node_t* repeat = make_pair(parser, type == TK_PLUS ? RX_STAR : RX_LAZY_STAR, x, nullptr);
            return make_pair(parser, RX_CAT, copy, repeat);
        }
        case TK_OPT:
            skip(parser);
            return make_pair(parser, RX_ALT, make_leaf(parser, RX_EMPTY), x);
        case TK_LAZY_OPT:
            skip(parser);
            return make_pair(parser, RX_ALT, x, make_leaf(parser, RX_EMPTY));
        case TK_COUNT:
        case TK_LAZY_COUNT: {
            const int32_t m = parser->token.min, n = parser->token.max;
            skip(parser);
            return expand_counted(parser, x, m, n, type == TK_LAZY_COUNT);
        }
        default:
            return x;
    }
}

regex_node_t* parse_item(regex_parser_t* parser, int32_t* counter) {
    return parse_quantifier(parser, parse_atom(parser, counter));
}

// Concatenation nests to the left: 'abc' is ((a b) c).
regex_node_t* parse_sequence(regex_parser_t* parser, int32_t* counter) {
    if (sequence_ends(parser, peek(parser))) return make_leaf(parser, RX_EMPTY);
    regex_node_t* tree = parse_item(parser, counter);
    while (!sequence_ends(parser, peek(parser))) {
        regex_node_t* item = parse_item(parser, counter);
        tree = make_pair(parser, RX_CAT, tree, item);
    }
    return tree;
}

// 'a|b|c' is (c | (b | a)) with the right operand tried first, so the
// branches are tried in the order they are written.
regex_node_t* parse_alternation(regex_parser_t* parser, int32_t* counter) {
    regex_node_t* tree = parse_sequence(parser, counter);
    while (peek(parser) == TK_BAR) {
        skip(parser);
        regex_node_t* branch = parse_sequence(parser, counter);
        tree = make_pair(parser, RX_ALT, branch, tree);
    }
    return tree;
}

}  // namespace

regex_node_t* node_new(regex_parser_t* parser, int32_t kind) {
    if (!building(parser)) return nullptr;
    if (parser->live_nodes >= REGEX_MAX_TREE_NODES) {
        fail(parser, REGEX_TOO_LARGE);
        return nullptr;
    }
    regex_node_t* node = (regex_node_t*)calloc(1, sizeof(regex_node_t));
    if (node == nullptr) {
        fail(parser, REGEX_NO_MEMORY);
        return nullptr;
    }
    node->kind = kind;
    ++parser->live_nodes;
    return node;
}

// Rotates left subtrees up into right chains while freeing, so any depth
// takes no stack and no memory.
void node_free(regex_parser_t* parser, regex_node_t* node) {
    while (node != nullptr) {
        regex_node_t* left = node->left;
        if (left != nullptr) {
            node->left = left->right;
            left->right = node;
            node = left;
        } else {
            regex_node_t* right = node->right;
            free(node);
            --parser->live_nodes;
            node = right;
        }
    }
}

regex_node_t* node_clone(regex_parser_t* parser, const regex_node_t* node) {
    if (node == nullptr || !building(parser)) return nullptr;
    struct pending_t {
        const regex_node_t* from;
        regex_node_t* to;
    };
    regex_stack_t<pending_t> pending;
    regex_node_t* root = node_new(parser, node->kind);
    if (root == nullptr) return nullptr;
    if (!pending.push({node, root})) fail(parser, REGEX_NO_MEMORY);
    while (!pending.empty() && building(parser)) {
        const pending_t item = pending.pop();
        item.to->ch[0] = item.from->ch[0];
        item.to->ch[1] = item.from->ch[1];
        item.to->char_class = item.from->char_class;
        item.to->group = item.from->group;
        const regex_node_t* children[2] = {item.from->left, item.from->right};
        regex_node_t** copies[2] = {&item.to->left, &item.to->right};
        for (int i = 0; i < 2; ++i) {
            if (children[i] == nullptr) continue;
            *copies[i] = node_new(parser, children[i]->kind);
            if (*copies[i] == nullptr) break;
            if (!pending.push({children[i], *copies[i]})) fail(parser, REGEX_NO_MEMORY);
        }
    }
    if (!building(parser)) {
        node_free(parser, root);
        return nullptr;
    }
    return root;
}

bool regex_parser_init(regex_parser_t* parser, const char* pattern) {
    memset(parser, 0, sizeof(*parser));
    parser->pattern = pattern;
    parser->cursor = pattern;
    parser->status = REGEX_COMPILED;
    parser->group_ends = (int32_t*)calloc(strlen(pattern) + 1, sizeof(int32_t));
    if (parser->group_ends == nullptr) parser->status = REGEX_NO_MEMORY;
    return parser->group_ends != nullptr;
}

void regex_parser_release(regex_parser_t* parser) {
    free(parser->group_ends);
    parser->group_ends = nullptr;
    while (parser->classes != nullptr) {
        regex_class_t* next = parser->classes->next;
        regex_class_free(parser->classes);
        parser->classes = next;
    }
}

regex_node_t* regex_parse(regex_parser_t* parser, int32_t* group_counter) {
    regex_node_t* tree = parse_alternation(parser, group_counter);
    if (parser->status != REGEX_COMPILED) {
        node_free(parser, tree);
        return nullptr;
    }
    return tree;
}
