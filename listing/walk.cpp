#include "listing/walk.h"

#include <stdlib.h>
#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/settings.h"
#include "text/mbs.h"

namespace {

// A growing text: the current folder's line prefix, or one line.
struct text_buffer_t {
    char* bytes;
    size_t length;
    size_t capacity;
};

bool reserve(text_buffer_t* t, size_t more) {
    if (t->length + more + 1 <= t->capacity) return true;
    size_t capacity = t->capacity ? t->capacity : 1024;
    while (capacity < t->length + more + 1) capacity *= 2;
    char* bytes = (char*)os.malloc(capacity);
    if (!bytes) return false;
    if (t->bytes) memcpy(bytes, t->bytes, t->length);
    free(t->bytes);
    t->bytes = bytes;
    t->capacity = capacity;
    return true;
}

bool append(text_buffer_t* t, const char* bytes, size_t length) {
    if (!reserve(t, length)) return false;
    memcpy(t->bytes + t->length, bytes, length);
    t->length += length;
    t->bytes[t->length] = '\0';
    return true;
}

// Letter case: only the letters A to Z change, stepping whole characters of
// code page 932, or bytes of UTF-8 (where no byte of a longer character is
// ASCII).
void map_case(char* text, size_t length, const line_format_t* format) {
    if (format->case_mode != CASE_LOWER && format->case_mode != CASE_UPPER) return;
    const bool lower = format->case_mode == CASE_LOWER;
    if (!format->utf8) {
        lower ? mbs_lower(text) : mbs_upper(text);
        return;
    }
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (lower && c >= 'A' && c <= 'Z') text[i] = (char)(c - 'A' + 'a');
        if (!lower && c >= 'a' && c <= 'z') text[i] = (char)(c - 'a' + 'A');
    }
}

// Appends the item's name as the list shows it; false when memory ran out.
bool append_segment(text_buffer_t* t, const listed_item_t* item, const line_format_t* format) {
    const nchar_t* native = item->native;
    size_t native_units = item->native_length;
    if (format->short_names && item->alias) {
        native = item->alias;
        native_units = native_length(item->alias);
    }
    const size_t start = t->length;
    if (!format->utf8 && native == item->native) {
        if (!append(t, item->text, item->text_length)) return false;
    } else {
        // A name converts to at most 3 bytes per unit (and 4 per surrogate pair).
        const size_t room = native_units * 3 + 1;
        if (!reserve(t, room)) return false;
        char* end = t->bytes + t->length;
        const size_t length = format->utf8 ? utf8_from_native(end, room, native, native_units, TEXT_NAME)
                                           : text_from_native(end, room, native, native_units, TEXT_NAME);
        t->length += length < room ? length : 0;
        t->bytes[t->length] = '\0';
    }
    map_case(t->bytes + start, t->length - start, format);
    return true;
}

bool ends_in_separator(const char* text, bool utf8) {
    const size_t length = strlen(text);
    if (length == 0) return false;
    if (text[length - 1] == '/') return true;
    return utf8 ? text[length - 1] == '\\' : path_has_trailing_sep(text);
}

// What the walk says of a folder, in the trace and on the console: the
// folder's program text, with the system's own separator, and the system's
// reason where there is one.
void report(const char* what, const folder_node_t* node, const walk_job_t* job, bool with_reason) {
    text_buffer_t path = {};
    bool whole = append(&path, job->top_text, strlen(job->top_text));
    // The names from the top down: the node's ancestors, found from the bottom.
    for (uint32_t level = 1; whole && level <= node->depth; ++level) {
        const folder_node_t* n = node;
        while (n->depth > level) n = n->parent;
        if (path.length > 0 && path.bytes[path.length - 1] != NATIVE_SEPARATOR) {
            whole = append(&path, &NATIVE_SEPARATOR, 1);
        }
        whole = whole && append(&path, n->item->text, n->item->text_length);
    }
    char reason[256] = "";
    if (with_reason) {
        char words[200];
        os.error_reason(node->error, words, sizeof words);
        str_format(reason, " (%s)", words);
    }
    text_buffer_t line = {};
    if (whole && append(&line, what, strlen(what)) && append(&line, path.bytes, path.length) &&
        append(&line, reason, strlen(reason))) {
        GetTraceProc()("%s\r\n", line.bytes);
        os.console_line(line.bytes);
    }
    free(path.bytes);
    free(line.bytes);
}

struct level_t {
    folder_node_t* node;
    uint32_t next;         // the next item to write
    size_t prefix_length;  // the line prefix of the folder's items
};

// The folders on the walk's path, top first.
struct level_stack_t {
    level_t* levels;
    size_t count;
    size_t capacity;
};

bool push_level(level_stack_t* stack, const level_t& level) {
    if (stack->count == stack->capacity) {
        const size_t capacity = stack->capacity ? stack->capacity * 2 : 64;
        level_t* levels = (level_t*)os.malloc(capacity * sizeof(level_t));
        if (!levels) return false;
        if (stack->count) memcpy(levels, stack->levels, stack->count * sizeof(level_t));
        free(stack->levels);
        stack->levels = levels;
        stack->capacity = capacity;
    }
    stack->levels[stack->count++] = level;
    return true;
}

struct walker_t {
    const walk_job_t* job;
    list_output_t* out;
    read_ahead_t ahead;
    text_buffer_t prefix;  // the current folder's line prefix
    text_buffer_t line;
    level_stack_t stack;
    folder_node_t* unwalked;  // read, but never put on the path
    walk_result_t result;
};

bool write_line(walker_t* w, const listed_item_t* item) {
    w->line.length = 0;
    if (!append(&w->line, w->prefix.bytes, w->prefix.length) ||
        !append_segment(&w->line, item, &w->job->format)) {
        return false;
    }
    const bool folder = item_is_folder(item);
    if (folder && !append(&w->line, "\\", 1)) return false;
    if (!append(&w->line, "\r\n", 2)) return false;
    list_output_write(w->out, w->line.bytes, w->line.length);
    ++(folder ? w->result.folders : w->result.files);
    return true;
}

walk_end_t exhausted(walker_t* w, os_error_t error) {
    w->result.error = error;
    return WALK_EXHAUSTED;
}

// Takes the next folder of the walk order and puts it on the path.
walk_end_t enter(walker_t* w, const listed_item_t* item) {
    folder_node_t* node = read_ahead_take(&w->ahead);
    if (node->exhausted) {
        const os_error_t error = node->error;
        free_folder_node(node);
        return exhausted(w, error);
    }
    if (node->loop) {
        report("上位のフォルダと同じフォルダのため、中はたどりません: ", node, w->job, false);
        free_folder_node(node);
        return WALK_DONE;
    }
    if (node->unreadable) {
        if (!item && !node->folder) {
            // Nothing of the tree can be listed: the old list stays, and the
            // run's report says so.
            w->result.error = node->error;
            free_folder_node(node);
            return WALK_TOP_UNREADABLE;
        }
        ++w->result.unreadable;
        report("フォルダを読み込めませんでした: ", node, w->job, true);
    }
    if (w->job->worker) worker_add_found(w->job->worker, node->count);
    const size_t prefix_length = w->prefix.length;
    // Its subfolders' nodes, queued, live in its arena: it goes once the
    // readers have stopped.
    if (item && (!append_segment(&w->prefix, item, &w->job->format) || !append(&w->prefix, "\\", 1))) {
        w->unwalked = node;
        return exhausted(w, os_error_t{OS_ERROR_NO_MEMORY, 0});
    }
    if (!push_level(&w->stack, level_t{node, 0, prefix_length})) {
        w->unwalked = node;
        return exhausted(w, os_error_t{OS_ERROR_NO_MEMORY, 0});
    }
    return WALK_DONE;
}

walk_end_t walk(walker_t* w) {
    const line_format_t* format = &w->job->format;
    const os_error_t no_memory = {OS_ERROR_NO_MEMORY, 0};
    if (format->full_path) {
        if (!append(&w->prefix, format->top, strlen(format->top))) return exhausted(w, no_memory);
        map_case(w->prefix.bytes, w->prefix.length, format);
        if (w->prefix.length > 0 && !ends_in_separator(w->prefix.bytes, format->utf8) &&
            !append(&w->prefix, "\\", 1)) {
            return exhausted(w, no_memory);
        }
    } else if (!reserve(&w->prefix, 0)) {
        return exhausted(w, no_memory);
    }
    walk_end_t end = enter(w, nullptr);
    while (end == WALK_DONE && w->stack.count > 0) {
        if (cancel_requested(w->job->cancel)) return WALK_CANCELLED;
        if (w->out->failure != LIST_FAILURE_NONE) return WALK_WRITE_FAILED;
        if (w->out->cancelled) return WALK_CANCELLED;
        level_t* level = &w->stack.levels[w->stack.count - 1];
        if (level->next == level->node->count) {
            w->prefix.length = level->prefix_length;
            w->prefix.bytes[w->prefix.length] = '\0';
            free_folder_node(level->node);
            --w->stack.count;
            continue;
        }
        const listed_item_t* item = level->node->items[level->next++];
        if (!write_line(w, item)) return exhausted(w, no_memory);
        if (item->child) end = enter(w, item);
    }
    if (end != WALK_DONE) return end;
    if (cancel_requested(w->job->cancel) || w->out->cancelled) return WALK_CANCELLED;
    return w->out->failure != LIST_FAILURE_NONE ? WALK_WRITE_FAILED : WALK_DONE;
}

}  // namespace

walk_result_t walk_and_write(const walk_job_t* job, list_output_t* out) {
    walker_t w = {};
    w.job = job;
    w.out = out;
    w.result = walk_result_t{WALK_DONE, OS_NO_ERROR, 0, 0, 0};

    folder_node_t top = {};
    top.state = NODE_QUEUED;
    top.arena = ARENA_EMPTY;
    if (!read_ahead_start(&w.ahead, &top, &job->read, job->filters, job->threads)) {
        w.result.end = WALK_EXHAUSTED;
        w.result.error = os_last_error();
        return w.result;
    }
    w.result.end = walk(&w);
    // The readers first: what they hold refers to the folders still on the path.
    read_ahead_stop(&w.ahead);
    if (w.unwalked) free_folder_node(w.unwalked);
    while (w.stack.count > 0) free_folder_node(w.stack.levels[--w.stack.count].node);
    free(w.stack.levels);
    free(w.prefix.bytes);
    free(w.line.bytes);
    return w.result;
}
