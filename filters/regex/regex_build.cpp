// From syntax tree to state graph, and the compile entry point.
//
// build_states adds the transitions that lead from state `from` to state
// `to` through a node. Every transition goes to the front of its source
// state's list, so a transition added later is tried earlier: that one rule
// makes the right operand of an alternation come first, a greedy repetition
// try its operand before its exit and a lazy one its exit first.
//
// The tree can be as deep as it is large ('a{0,30000}' nests 30,000 levels),
// so the builder keeps its pending work on a heap stack instead of
// recursing, doing the work in exactly the recursive order.
#include <stdio.h>
#include <string.h>

#include "filters/regex/regex_internal.h"

namespace {

// What build_states adds, or only counts when there is no graph yet.
struct builder_t {
    regex_state_t* states;  // null while counting
    regex_transition_t* pool;
    int64_t transition_count;
    int32_t next_state;
};

bool consumes(int32_t kind) {
    return kind == RX_CHAR || kind == RX_CLASS || kind == RX_ANY;
}

void add_transition(builder_t* builder, const regex_node_t* node, int32_t from, int32_t to) {
    if (builder->states != nullptr) {
        regex_transition_t* t = &builder->pool[builder->transition_count];
        memset(t, 0, sizeof(*t));
        t->is_epsilon = !consumes(node->kind);
        t->kind = node->kind;
        t->ch[0] = node->ch[0];
        t->ch[1] = node->ch[1];
        t->options = RX_IGNORE_CASE;
        t->target = to;
        t->group = node->group;
        if (node->kind == RX_CLASS) {
            t->char_class = node->char_class;
            t->text = node->char_class->text;
        }
        if (node->kind == RX_CHAR) regex_char_codes(t->ch, t->options, t->codes);
        t->next = builder->states[from].first;
        builder->states[from].first = t;
    }
    ++builder->transition_count;
}

struct build_task_t {
    const regex_node_t* node;
    int32_t from, to;
    bool add_only;  // add node's transition from -> to, nothing more
};

// Walks the tree from state 0 to state 1, numbering new states from 2.
// False only when the work stack cannot grow.
bool build_states(builder_t* builder, const regex_node_t* tree) {
    builder->next_state = 2;
    builder->transition_count = 0;
    regex_stack_t<build_task_t> tasks;
    if (!tasks.push({tree, 0, 1, false})) return false;
    while (!tasks.empty()) {
        const build_task_t task = tasks.pop();
        const regex_node_t* node = task.node;
        if (task.add_only) {
            add_transition(builder, node, task.from, task.to);
            continue;
        }
        bool pushed = true;
        switch (node->kind) {
            case RX_ALT:
                // Left first, then right: the right one ends up in front.
                pushed = tasks.push({node->right, task.from, task.to, false}) &&
                         tasks.push({node->left, task.from, task.to, false});
                break;
            case RX_CAT: {
                const int32_t middle = builder->next_state++;
                pushed = tasks.push({node->right, middle, task.to, false}) &&
                         tasks.push({node->left, task.from, middle, false});
                break;
            }
            case RX_STAR: {
                const int32_t loop = builder->next_state++, back = builder->next_state++;
                add_transition(builder, node, task.from, loop);
                add_transition(builder, node, back, loop);
                add_transition(builder, node, loop, task.to);
                pushed = tasks.push({node->left, loop, back, false});
                break;
            }
            case RX_LAZY_STAR: {
                const int32_t loop = builder->next_state++, back = builder->next_state++;
                add_transition(builder, node, task.from, loop);
                pushed = tasks.push({node, loop, task.to, true}) && tasks.push({node, back, loop, true}) &&
                         tasks.push({node->left, loop, back, false});
                break;
            }
            default:
                add_transition(builder, node, task.from, task.to);
                break;
        }
        if (!pushed) return false;
    }
    return true;
}

void free_classes(regex_class_t* list) {
    while (list != nullptr) {
        regex_class_t* next = list->next;
        regex_class_free(list);
        list = next;
    }
}

regex_program_t* fail_compile(regex_compile_status_t* status, regex_compile_status_t why) {
    *status = why;
    return nullptr;
}

}  // namespace

regex_program_t* regex_compile(const char* pattern, regex_compile_status_t* status) {
    regex_compile_status_t ignored;
    if (status == nullptr) status = &ignored;

    regex_parser_t parser;
    if (!regex_parser_init(&parser, pattern)) return fail_compile(status, REGEX_NO_MEMORY);
    int32_t group_counter = 0;
    regex_node_t* tree = regex_parse(&parser, &group_counter);
    if (tree == nullptr) {
        regex_parser_release(&parser);
        return fail_compile(status, parser.status);
    }

    regex_compile_status_t result = REGEX_COMPILED;
    regex_program_t* program = nullptr;
    builder_t builder = {};
    if (!build_states(&builder, tree)) {
        result = REGEX_NO_MEMORY;
    } else if (builder.next_state > REGEX_MAX_STATES) {
        result = REGEX_TOO_LARGE;
    } else {
        program = (regex_program_t*)calloc(1, sizeof(regex_program_t));
        if (program != nullptr) program->graph = (regex_graph_t*)calloc(1, sizeof(regex_graph_t));
        if (program != nullptr && program->graph != nullptr) {
            program->graph->count = builder.next_state;
            program->graph->states =
                (regex_state_t*)calloc((size_t)builder.next_state, sizeof(regex_state_t));
            program->transition_count = (int32_t)builder.transition_count;
            program->transitions =
                (regex_transition_t*)calloc((size_t)builder.transition_count, sizeof(regex_transition_t));
        }
        if (program == nullptr || program->graph == nullptr || program->graph->states == nullptr ||
            program->transitions == nullptr) {
            result = REGEX_NO_MEMORY;
        } else {
            program->graph->states[1].is_final = 1;
            builder.states = program->graph->states;
            builder.pool = program->transitions;
            if (!build_states(&builder, tree)) result = REGEX_NO_MEMORY;
        }
    }
    node_free(&parser, tree);

    if (result != REGEX_COMPILED) {
        regex_free(program);
        regex_parser_release(&parser);
        return fail_compile(status, result);
    }
    program->slot_count = group_counter + 1;
    program->step_limit = REGEX_STEP_LIMIT;
    // A negative lookahead turns a failed body into success, so a walk that
    // failed among some marks may succeed among fewer; and one whose body
    // matched keeps the group positions that body set, which skipping a
    // failed walk would lose.
    bool has_not_ahead = false;
    for (int32_t i = 0; i < program->transition_count; ++i) {
        if (program->transitions[i].kind == RX_NOT_AHEAD) has_not_ahead = true;
    }
    program->remember_failures = !has_not_ahead ? 2 : program->slot_count == 1 ? 1 : 0;
    // The transitions share the parser's bracket texts: the program keeps them.
    program->classes = parser.classes;
    parser.classes = nullptr;
    regex_parser_release(&parser);
    *status = REGEX_COMPILED;
    return program;
}

void regex_free(regex_program_t* program) {
    if (program == nullptr) return;
    free(program->transitions);
    free_classes(program->classes);
    if (program->graph != nullptr) free(program->graph->states);
    free(program->graph);
    free(program->frames);
    free(program->failed);
    free(program);
}

namespace {

// snprintf-style appending: counts everything, writes what fits.
struct dump_t {
    char* out;
    size_t size;
    size_t length;
};

void dump_text(dump_t* dump, const char* text) {
    for (; *text != '\0'; ++text) {
        if (dump->length + 1 < dump->size) dump->out[dump->length] = *text;
        ++dump->length;
    }
}

void dump_bytes(dump_t* dump, const unsigned char* bytes, size_t count) {
    char piece[8];
    for (size_t i = 0; i < count; ++i) {
        const unsigned char b = bytes[i];
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '\'') {
            piece[0] = (char)b;
            piece[1] = '\0';
        } else {
            snprintf(piece, sizeof(piece), "\\x%02X", b);
        }
        dump_text(dump, piece);
    }
}

void dump_transition(dump_t* dump, const regex_transition_t* t) {
    char number[16];
    switch (t->kind) {
        case RX_CHAR:
            dump_text(dump, "'");
            dump_bytes(dump, t->ch, t->ch[1] != 0 ? 2 : 1);
            dump_text(dump, "'");
            break;
        case RX_CLASS:
            dump_text(dump, "[");
            dump_bytes(dump, (const unsigned char*)t->text, strlen(t->text));
            dump_text(dump, "]");
            break;
        case RX_OPEN:
        case RX_CLOSE:
            snprintf(number, sizeof(number), "%s%d", t->kind == RX_OPEN ? "(" : ")", (int)t->group);
            dump_text(dump, number);
            break;
        default: {
            static const char* const NAMES[] = {"e", "",  "",   "",    "^",  "$",   "",   "",
                                                "",  "*", "*?", "(?=", "=)", "(?!", "!)", "."};
            dump_text(dump, t->kind >= 0 && t->kind <= RX_ANY ? NAMES[t->kind] : "?");
            break;
        }
    }
    snprintf(number, sizeof(number), ">%d", (int)t->target);
    dump_text(dump, number);
}

}  // namespace

size_t regex_dump(const regex_program_t* program, char* out, size_t size) {
    dump_t dump = {out, size, 0};
    char line[32];
    snprintf(line, sizeof(line), "states %d\n", (int)program->graph->count);
    dump_text(&dump, line);
    for (int32_t i = 0; i < program->graph->count; ++i) {
        snprintf(line, sizeof(line), "%d:", (int)i);
        dump_text(&dump, line);
        for (const regex_transition_t* t = program->graph->states[i].first; t != nullptr; t = t->next) {
            dump_text(&dump, " ");
            dump_transition(&dump, t);
        }
        dump_text(&dump, "\n");
    }
    if (size > 0) out[dump.length < size ? dump.length : size - 1] = '\0';
    return dump.length;
}
