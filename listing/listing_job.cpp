#include "listing/listing_job.h"

#include "listing/list_writer.h"
#include "listing/walk.h"

namespace {

// The top folder's short form, asked once per walk; false when it has none.
bool get_short_top(const char* top, char* short_top) {
    const DWORD length = os.GetShortPathNameA(top, short_top, PATH_BUFFER_SIZE);
    return length > 0 && length < PATH_BUFFER_SIZE;
}

unsigned write_list(const settings_t* settings, const entry_list_t* list, worker_t* worker) {
    FILE* file = open_list_file(settings->output_file);
    if (!file) return LISTING_WRITE_FAILED;
    const write_options_t options = {
        settings->case_mode,
        (settings->flags & FLAG_FULL_PATH) != 0,
        (settings->flags & FLAG_SHORT_NAMES) != 0,
    };
    cancel_check_t cancel = cancel_check_for(worker_cancel_event(worker));
    const bool written = write_entry_list(file, list, &options, &cancel);
    const bool closed = close_list_file(file);
    if (written && closed) return LISTING_DONE;
    // A full disk must not pass for a finished list; what was written stays.
    report_list_file_error();
    return LISTING_WRITE_FAILED;
}

}  // namespace

// The whole tree is walked and sorted before the list file is opened, so a
// list file inside the tree lists itself only when it existed before, and a
// cancelled walk leaves an existing list untouched.
unsigned listing_job(worker_t* worker, void* job_arg) {
    const settings_t* settings = (const settings_t*)job_arg;

    char short_top[PATH_BUFFER_SIZE];
    const bool short_names = (settings->flags & FLAG_SHORT_NAMES) != 0;
    const bool has_short_top = short_names && get_short_top(settings->folder, short_top);

    walk_context_t context = {
        cancel_check_for(worker_cancel_event(worker)),
        settings->flags,
        create_filter(settings->filter_kind, settings->filter_text),
        settings->folder,
        has_short_top ? short_top : nullptr,
        {},
        worker,
    };
    // Without memory for the filter nothing sensible can be listed.
    if (!context.filter) return LISTING_DONE;
    entry_list_t* list = walk_folder(settings->folder, context.short_top, &context);
    delete_filter(context.filter);

    if (!list) return LISTING_DONE;
    unsigned result = LISTING_DONE;
    if (!worker_is_cancelled(worker)) result = write_list(settings, list, worker);
    entry_list_free(list);
    return result;
}
