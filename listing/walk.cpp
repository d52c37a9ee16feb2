#include "listing/walk.h"

#include <stdlib.h>
#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/settings.h"
#include "listing/text_buffer.h"
#include "text/mbs.h"

namespace {

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
    bool whole = text_append(&path, job->top_text, strlen(job->top_text));
    // The names from the top down: the node's ancestors, found from the bottom.
    for (uint32_t level = 1; whole && level <= node->depth; ++level) {
        const folder_node_t* n = node;
        while (n->depth > level) n = n->parent;
        if (path.length > 0 && path.bytes[path.length - 1] != NATIVE_SEPARATOR) {
            whole = text_append(&path, &NATIVE_SEPARATOR, 1);
        }
        whole = whole && text_append(&path, item_text(n->item), n->item->text_length);
    }
    char reason[256] = "";
    if (with_reason) {
        char words[200];
        os.error_reason(node->error, words, sizeof words);
        str_format(reason, " (%s)", words);
    }
    text_buffer_t line = {};
    if (whole && text_append(&line, what, strlen(what)) && text_append(&line, path.bytes, path.length) &&
        text_append(&line, reason, strlen(reason))) {
        GetTraceProc()("%s\r\n", line.bytes);
        // Folders that could not be read are told on the console too; links
        // not walked are told only in the trace: a tree may hold thousands.
        if (with_reason) os.console_line(line.bytes);
    }
    text_free(&path);
    text_free(&line);
}

struct level_t {
    folder_node_t* node;
    uint32_t next;         // the next item to write
    size_t prefix_length;  // where the parent's line prefix ended: the folder's own line is up to here
    bool line_waits;       // the folder's own line is not written yet (/trim)
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
    line_writer_t writer;
    text_buffer_t prefix;  // the current folder's line prefix
    text_buffer_t line;
    level_stack_t stack;
    folder_node_t* unwalked;  // read, but never put on the path
    walk_result_t result;
};

bool writes_folders(const walk_job_t* job) {
    return job->only != ONLY_FILES;
}

bool writes_files(const walk_job_t* job) {
    return job->only != ONLY_FOLDERS;
}

// The lines of the folders on the path that wait for something below them
// (/trim), top first: each is its part of the current prefix.
bool write_waiting_folder_lines(walker_t* w) {
    for (size_t i = 1; i < w->stack.count; ++i) {
        level_t* level = &w->stack.levels[i];
        if (!level->line_waits) continue;
        level->line_waits = false;
        const size_t end = i + 1 < w->stack.count ? w->stack.levels[i + 1].prefix_length : w->prefix.length;
        if (!write_item_line(&w->writer, w->prefix.bytes, end, level->node->item)) return false;
        ++w->result.folders;
    }
    return true;
}

// The item's line: the prefix, its name, and for a folder the separator.
bool write_line(walker_t* w, const listed_item_t* item) {
    const bool folder = item_is_folder(item);
    ++(folder ? w->result.folders : w->result.files);
    // Most lines are made where they are written.
    if (write_plain_line(&w->writer, w->prefix.bytes, w->prefix.length, item)) return true;
    if (w->out->failure != LIST_FAILURE_NONE || w->out->cancelled) return true;
    w->line.length = 0;
    if (!text_append(&w->line, w->prefix.bytes, w->prefix.length) ||
        !append_name(&w->writer, &w->line, item) ||
        (folder && !text_append(&w->line, &w->job->format.separator, 1))) {
        return false;
    }
    return write_item_line(&w->writer, w->line.bytes, w->line.length, item);
}

walk_end_t exhausted(walker_t* w, os_error_t error) {
    w->result.error = error;
    return WALK_EXHAUSTED;
}

// Takes the next folder of the walk order and puts it on the path; its own
// line (item) waits there when /trim asks for something below it first.
walk_end_t enter(walker_t* w, const listed_item_t* item, bool line_waits) {
    folder_node_t* node = read_ahead_take(&w->ahead);
    if (node->exhausted) {
        const os_error_t error = node->error;
        free_folder_node(node, &w->ahead.settings);
        return exhausted(w, error);
    }
    if (node->loop || node->seen_before) {
        report(node->loop ? "上位のフォルダと同じフォルダのため、中はたどりません: "
                          : "同じフォルダを既にたどったため、中はたどりません: ",
               node, w->job, false);
        free_folder_node(node, &w->ahead.settings);
        return WALK_DONE;
    }
    if (node->unreadable) {
        if (!item && !node->opened) {
            // Nothing of the tree can be listed: the old list stays, and the
            // run's report says so.
            w->result.error = node->error;
            free_folder_node(node, &w->ahead.settings);
            return WALK_TOP_UNREADABLE;
        }
        ++w->result.unreadable;
        report("フォルダを読み込めませんでした: ", node, w->job, true);
    }
    if (w->job->worker) worker_add_found(w->job->worker, node->count);
    const size_t prefix_length = w->prefix.length;
    // Its subfolders' nodes, queued, live in its arena: it goes once the
    // readers have stopped.
    if (item && (!append_name(&w->writer, &w->prefix, item) ||
                 !text_append(&w->prefix, &w->job->format.separator, 1))) {
        w->unwalked = node;
        return exhausted(w, os_error_t{OS_ERROR_NO_MEMORY, 0});
    }
    if (!push_level(&w->stack, level_t{node, 0, prefix_length, line_waits})) {
        w->unwalked = node;
        return exhausted(w, os_error_t{OS_ERROR_NO_MEMORY, 0});
    }
    return WALK_DONE;
}

// One item of the current folder: its line, and for a folder to walk, the
// folder itself. With /trim a folder's line waits for its first line below;
// a folder not walked has nothing below it and is left out.
walk_end_t write_item(walker_t* w, const listed_item_t* item) {
    const walk_job_t* job = w->job;
    const os_error_t no_memory = {OS_ERROR_NO_MEMORY, 0};
    if (item_is_folder(item)) {
        const bool written_now = writes_folders(job) && !job->trim;
        if (written_now && !write_line(w, item)) return exhausted(w, no_memory);
        return (item->flags & ITEM_WALKED) ? enter(w, item, writes_folders(job) && job->trim) : WALK_DONE;
    }
    // A file counts as something below its folders even where files are not
    // written (folders only, with /trim).
    if (job->trim && !write_waiting_folder_lines(w)) return exhausted(w, no_memory);
    if (writes_files(job) && !write_line(w, item)) return exhausted(w, no_memory);
    return WALK_DONE;
}

walk_end_t walk(walker_t* w) {
    const line_format_t* format = &w->job->format;
    const os_error_t no_memory = {OS_ERROR_NO_MEMORY, 0};
    if (!line_writer_start(&w->writer)) return exhausted(w, no_memory);
    if (format->full_path) {
        if (!text_append(&w->prefix, format->top, strlen(format->top))) return exhausted(w, no_memory);
        map_case(w->prefix.bytes, w->prefix.length, format);
        if (w->prefix.length > 0 && !ends_in_separator(w->prefix.bytes, format->utf8) &&
            !text_append(&w->prefix, &format->separator, 1)) {
            return exhausted(w, no_memory);
        }
    } else if (!text_reserve(&w->prefix, 0)) {
        return exhausted(w, no_memory);
    }
    walk_end_t end = enter(w, nullptr, false);
    while (end == WALK_DONE && w->stack.count > 0) {
        if (cancel_requested(w->job->cancel)) return WALK_CANCELLED;
        if (w->out->failure != LIST_FAILURE_NONE) return WALK_WRITE_FAILED;
        if (w->out->cancelled) return WALK_CANCELLED;
        level_t* level = &w->stack.levels[w->stack.count - 1];
        if (level->next == level->node->count) {
            // A line still waiting here is dropped: nothing below was written.
            w->prefix.length = level->prefix_length;
            w->prefix.bytes[w->prefix.length] = '\0';
            free_folder_node(level->node, &w->ahead.settings);
            --w->stack.count;
            continue;
        }
        end = write_item(w, level->node->items[level->next++]);
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
    w.writer.format = &job->format;
    w.writer.out = out;
    w.result = walk_result_t{WALK_DONE, OS_NO_ERROR, 0, 0, 0, 0};

    folder_node_t top = {};
    top.state = NODE_QUEUED;
    top.arena = ARENA_EMPTY;
    link_state_t links = {LINK_TARGETS_EMPTY, nullptr, 0, false};
    read_settings_t read = job->read;
    read.links = &links;
    if (!read_ahead_start(&w.ahead, &top, &read, job->filters, job->skips, job->threads, job->window)) {
        free_link_state(&links);
        w.result.end = WALK_EXHAUSTED;
        w.result.error = os_last_error();
        return w.result;
    }
    w.result.end = walk(&w);
    // The readers first: what they hold refers to the folders still on the path.
    read_ahead_stop(&w.ahead);
    if (w.unwalked) free_folder_node(w.unwalked, &w.ahead.settings);
    while (w.stack.count > 0) free_folder_node(w.stack.levels[--w.stack.count].node, &w.ahead.settings);
    free(w.stack.levels);
    text_free(&w.prefix);
    text_free(&w.line);
    w.result.replaced = w.writer.replaced;
    line_writer_free(&w.writer);
    free_link_state(&links);
    return w.result;
}
