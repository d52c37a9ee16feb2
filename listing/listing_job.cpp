#include "listing/listing_job.h"

#include <stdlib.h>
#include <string.h>

#include "listing/walk.h"

int listing_reader_threads = LISTING_READERS_AUTO;
int listing_identity_on_demand = LISTING_IDENTITY_AUTO;

namespace {

// Native text in the list's encoding (UTF-8 or code page 932): a heap block.
char* list_text_of(const nchar_t* native, bool utf8, text_kind_t kind) {
    const size_t units = native_length(native);
    const size_t length = utf8 ? utf8_from_native(nullptr, 0, native, units, kind)
                               : text_from_native(nullptr, 0, native, units, kind);
    char* text = (char*)os.malloc(length + 1);
    if (!text) return nullptr;
    if (utf8) {
        utf8_from_native(text, length + 1, native, units, kind);
    } else {
        text_from_native(text, length + 1, native, units, kind);
    }
    return text;
}

// What a name keeps of itself in the list: control characters only where a
// NUL ends each line, a "\" only where "/" separates (neither can then be
// read as a line's end or a separator).
text_kind_t kept_by(const list_options_t* list) {
    if (list->format != FORMAT_LIST) return TEXT_NAME;
    unsigned kind = TEXT_NAME;
    if (list->line_end == LINE_END_NUL) kind |= TEXT_KEEP_CONTROLS;
    if (list->separator == '/') kind |= TEXT_KEEP_BACKSLASH;
    return (text_kind_t)kind;
}

void set_line_end(line_format_t* format, const list_options_t* list) {
    switch (list->format == FORMAT_LIST ? list->line_end : LINE_END_CRLF) {
        case LINE_END_LF:
            format->line_end = "\n";
            format->line_end_length = 1;
            break;
        case LINE_END_NUL:
            format->line_end = "";  // its terminator is the NUL
            format->line_end_length = 1;
            break;
        default:
            format->line_end = "\r\n";
            format->line_end_length = 2;
            break;
    }
}

// The top folder's short form, asked once per walk; null when it has none.
nchar_t* short_top_of(const nchar_t* top) {
    const size_t length = os.short_path(top, nullptr, 0);
    if (length == 0) return nullptr;
    nchar_t* short_top = (nchar_t*)os.malloc((length + 1) * sizeof(nchar_t));
    if (short_top && os.short_path(top, short_top, length + 1) == 0) {
        free(short_top);
        return nullptr;
    }
    return short_top;
}

// A local disk answers from its cache as fast as a processor asks: one
// reader per processor beside the walk, which reads too (bench/README.md).
unsigned reader_threads(bool remote) {
    if (listing_reader_threads >= 0) return (unsigned)listing_reader_threads;
    if (remote) return REMOTE_READERS;
    const unsigned processors = os.processor_count();
    return processors > 1 ? processors - 1 : 0;
}

// What one run holds, released together however it ends.
struct job_storage_t {
    nchar_t* short_top;
    char* format_top;
    char* report_top;  // the top folder as the system writes it, for what the walk reports
    filter_t** filters;
    filter_t** skips;  // null when no names are left out
    unsigned filter_count;
};

void release(job_storage_t* storage) {
    for (unsigned i = 0; i < storage->filter_count; ++i) {
        delete_filter(storage->filters[i]);
        if (storage->skips) delete_filter(storage->skips[i]);
    }
    free(storage->filters);
    free(storage->skips);
    free(storage->short_top);
    free(storage->format_top);
    free(storage->report_top);
}

void set_failure(listing_outcome_t* outcome, exit_status_t status, listing_failure_t failure,
                 os_error_t error) {
    outcome->status = status;
    outcome->failure = failure;
    outcome->error = error;
}

void no_memory(listing_outcome_t* outcome, os_error_t error) {
    set_failure(outcome, EXIT_NO_MEMORY, LISTING_FAILURE_NO_MEMORY, error);
}

void list_file_failed(listing_outcome_t* outcome, const list_output_t* out) {
    if (out->failure == LIST_FAILURE_NO_MEMORY) return no_memory(outcome, out->error);
    set_failure(outcome, EXIT_LIST_FILE, LISTING_FAILURE_LIST_FILE, out->error);
    outcome->list_failure = out->failure;
}

// A filter of each kind for each reader: a filter keeps working storage.
void make_filters(const settings_t* settings, unsigned threads, job_storage_t* storage,
                  listing_outcome_t* outcome) {
    const bool skips = settings->list.skip_text[0] != '\0';
    storage->filters = (filter_t**)os.malloc((threads + 1) * sizeof(filter_t*));
    storage->skips = skips ? (filter_t**)os.malloc((threads + 1) * sizeof(filter_t*)) : nullptr;
    if (!storage->filters || (skips && !storage->skips)) return no_memory(outcome, os_last_error());
    for (unsigned i = 0; i <= threads; ++i) {
        filter_t* filter = create_filter(settings->filter_kind, settings->filter_text);
        filter_t* skip = skips ? create_filter(FILTER_WILDCARD, settings->list.skip_text) : nullptr;
        if (!filter || (skips && !skip)) {
            delete_filter(filter);
            delete_filter(skip);
            return no_memory(outcome, os_error_t{OS_ERROR_NO_MEMORY, 0});
        }
        storage->filters[storage->filter_count] = filter;
        if (skips) storage->skips[storage->filter_count] = skip;
        ++storage->filter_count;
    }
}

void write_list(const settings_t* settings, worker_t* worker, job_storage_t* storage,
                listing_outcome_t* outcome) {
    const nchar_t* top = settings->folder.native;
    const list_options_t* list = &settings->list;
    const bool utf8 = (settings->flags & FLAG_UTF8) != 0;
    const bool short_names = (settings->flags & FLAG_SHORT_NAMES) != 0;
    const text_kind_t name_kind = kept_by(list);
    if (short_names) storage->short_top = short_top_of(top);
    // The top folder's text follows the rules of every name, its separators aside.
    const text_kind_t top_kind = (text_kind_t)((name_kind & ~TEXT_NAME) | TEXT_PATH);
    storage->format_top = list_text_of(storage->short_top ? storage->short_top : top, utf8, top_kind);
    if (!storage->format_top) return no_memory(outcome, os_last_error());
    storage->report_top = list_text_of(top, false, TEXT_PATH);
    if (!storage->report_top) return no_memory(outcome, os_last_error());
    const bool remote = os.folder_is_remote(top);
    const unsigned threads = reader_threads(remote);
    make_filters(settings, threads, storage, outcome);
    if (outcome->failure != LISTING_FAILURE_NONE) return;

    const cancel_check_t cancel = cancel_check_for(worker);
    list_output_t out;
    if (!list_output_open(&out, settings->output_file.native, &cancel)) {
        if (out.cancelled) {
            outcome->status = EXIT_CANCELLED;
        } else {
            list_file_failed(outcome, &out);
        }
        return;
    }
    walk_job_t job = {};
    const bool sheet = list->format != FORMAT_LIST;
    job.read.top = top;
    job.read.folder_options = (short_names ? FOLDER_SHORT_NAMES : 0) | (sheet ? FOLDER_DETAILS : 0);
    job.read.subfolders = (settings->flags & FLAG_SUBFOLDERS) != 0;
    job.read.max_depth = list->max_depth;
    job.read.no_hidden = (list->flags & LIST_NO_HIDDEN) != 0;
    job.read.files_unneeded = list->only == ONLY_FOLDERS && !(list->flags & LIST_TRIM);
    job.read.natural = list->order == ORDER_NATURAL;
    job.read.details = sheet;
    job.read.keys_fold_ascii = os.sort_key_folds_ascii();
    job.read.identity_on_demand = listing_identity_on_demand == LISTING_IDENTITY_AUTO
                                      ? FOLDER_IDENTITY_COSTS_AN_OPEN
                                      : listing_identity_on_demand != 0;
    job.read.temp_name = out.temp_name;
    job.read.temp_name_length = out.temp_name ? native_length(out.temp_name) : 0;
    job.read.temp_identity = out.temp_identity;
    job.filters = storage->filters;
    job.skips = storage->skips;
    job.threads = threads;
    job.window = remote ? REMOTE_WINDOW : LOCAL_WINDOW;
    job.only = list->only;
    job.trim = (list->flags & LIST_TRIM) != 0;
    job.format.top = storage->format_top;
    job.format.full_path = (settings->flags & FLAG_FULL_PATH) != 0;
    job.format.short_names = storage->short_top != nullptr;
    job.format.utf8 = utf8;
    job.format.case_mode = settings->case_mode;
    job.format.format = list->format;
    job.format.separator = sheet ? '\\' : list->separator;
    set_line_end(&job.format, list);
    job.format.name_kind = name_kind;
    job.format.bom = utf8 && (sheet || (list->flags & LIST_BOM));
    job.top_text = storage->report_top;
    job.cancel = &cancel;
    job.worker = worker;

    const walk_result_t result = walk_and_write(&job, &out);
    outcome->folders = result.folders;
    outcome->files = result.files;
    outcome->unreadable = result.unreadable;
    outcome->replaced = result.replaced;
    switch (result.end) {
        case WALK_DONE:
            break;
        case WALK_CANCELLED:
            list_output_abandon(&out);
            outcome->status = EXIT_CANCELLED;
            return;
        case WALK_EXHAUSTED:
            list_output_abandon(&out);
            return no_memory(outcome, result.error);
        case WALK_TOP_UNREADABLE:
            list_output_abandon(&out);
            return set_failure(outcome, EXIT_INCOMPLETE, LISTING_FAILURE_TOP_UNREADABLE, result.error);
        case WALK_WRITE_FAILED:
            list_output_abandon(&out);
            return list_file_failed(outcome, &out);
    }
    switch (list_output_finish(&out)) {
        case LIST_FINISHED:
            outcome->status = result.unreadable ? EXIT_INCOMPLETE : EXIT_LISTED;
            // Past the one point where a cancel still counted: the list stands.
            outcome->cancel_too_late = cancel_requested(&cancel);
            return;
        case LIST_CANCELLED:
            outcome->status = EXIT_CANCELLED;
            return;
        case LIST_FAILED:
            return list_file_failed(outcome, &out);
    }
}

}  // namespace

unsigned listing_job(worker_t* worker, void* job_arg) {
    listing_run_t* run = (listing_run_t*)job_arg;
    run->outcome = listing_outcome_t{};
    run->outcome.status = EXIT_LISTED;
    job_storage_t storage = {};
    write_list(run->settings, worker, &storage, &run->outcome);
    release(&storage);
    return (unsigned)run->outcome.status;
}
