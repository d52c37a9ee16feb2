#include "listing/listing_job.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

#include "TOOLS/toolwind/toolwind.h"
#include "listing/list_output.h"
#include "listing/walk.h"

int listing_reader_threads = LISTING_READERS_AUTO;

namespace {

// Native text in the list's encoding (UTF-8 or code page 932): a heap block.
char* list_text_of(const nchar_t* native, bool utf8) {
    const size_t units = native_length(native);
    const size_t length = utf8 ? utf8_from_native(nullptr, 0, native, units, TEXT_PATH)
                               : text_from_native(nullptr, 0, native, units, TEXT_PATH);
    char* text = (char*)malloc(length + 1);
    if (!text) return nullptr;
    if (utf8) {
        utf8_from_native(text, length + 1, native, units, TEXT_PATH);
    } else {
        text_from_native(text, length + 1, native, units, TEXT_PATH);
    }
    return text;
}

// The top folder's short form, asked once per walk; null when it has none.
nchar_t* short_top_of(const nchar_t* top) {
    const size_t length = os.short_path(top, nullptr, 0);
    if (length == 0) return nullptr;
    nchar_t* short_top = (nchar_t*)malloc((length + 1) * sizeof(nchar_t));
    if (short_top && os.short_path(top, short_top, length + 1) == 0) {
        free(short_top);
        return nullptr;
    }
    return short_top;
}

unsigned reader_threads(const nchar_t* top) {
    if (listing_reader_threads >= 0) return (unsigned)listing_reader_threads;
    return os.folder_is_remote(top) ? REMOTE_READERS : os.processor_count();
}

void report_out_of_memory() {
    MessageBoxFormat(nullptr, "Scrivlet", MB_OK, "メモリが不足したため、一覧を作成できませんでした。");
}

struct job_storage_t {
    const nchar_t* top = nullptr;
    const nchar_t* list_file = nullptr;
    nchar_t* short_top = nullptr;
    char* format_top = nullptr;
    std::vector<filter_t*> filters;
    ~job_storage_t() {
        for (filter_t* filter : filters) delete_filter(filter);
        free(short_top);
        free(format_top);
    }
};

unsigned write_list(const settings_t* settings, worker_t* worker, job_storage_t* storage) {
    const bool utf8 = (settings->flags & FLAG_UTF8) != 0;
    const bool short_names = (settings->flags & FLAG_SHORT_NAMES) != 0;
    if (short_names) storage->short_top = short_top_of(storage->top);
    if (storage->short_top || utf8) {
        storage->format_top = list_text_of(storage->short_top ? storage->short_top : storage->top, utf8);
        if (!storage->format_top) return LISTING_OUT_OF_MEMORY;
    }

    const unsigned threads = reader_threads(storage->top);
    for (unsigned i = 0; i <= threads; ++i) {
        filter_t* filter = create_filter(settings->filter_kind, settings->filter_text);
        if (!filter) return LISTING_OUT_OF_MEMORY;
        storage->filters.push_back(filter);
    }

    list_output_t out;
    if (!list_output_open(&out, storage->list_file)) {
        if (out.out_of_memory) return LISTING_OUT_OF_MEMORY;
        report_list_file_error();
        return LISTING_WRITE_FAILED;
    }
    cancel_check_t cancel = cancel_check_for(worker_cancel_event(worker));
    walk_job_t job = {};
    job.read.top = storage->top;
    job.read.folder_options = short_names ? FOLDER_SHORT_NAMES : 0;
    job.read.subfolders = (settings->flags & FLAG_SUBFOLDERS) != 0;
    job.read.skipped_name = out.temp_name;
    job.filters = storage->filters.data();
    job.threads = threads;
    job.format.top = storage->format_top ? storage->format_top : settings->folder.text;
    job.format.full_path = (settings->flags & FLAG_FULL_PATH) != 0;
    job.format.short_names = storage->short_top != nullptr;
    job.format.utf8 = utf8;
    job.format.case_mode = settings->case_mode;
    job.top_text = settings->folder.text;
    job.cancel = &cancel;
    job.worker = worker;

    const walk_result_t result = walk_and_write(&job, &out);
    switch (result.end) {
        case WALK_DONE:
            if (!list_output_finish(&out)) break;
            return result.unreadable ? LISTING_INCOMPLETE : LISTING_DONE;
        case WALK_CANCELLED:
            list_output_abandon(&out);
            return LISTING_CANCELLED;
        case WALK_OUT_OF_MEMORY:
            list_output_abandon(&out);
            return LISTING_OUT_OF_MEMORY;
        case WALK_WRITE_FAILED:
            list_output_abandon(&out);
            break;
    }
    // A full disk must not pass for a finished list; the old list stays.
    report_list_file_error();
    return LISTING_WRITE_FAILED;
}

}  // namespace

void report_list_file_error() {
    MessageBoxFormat(nullptr, "Scrivlet", MB_OK, "ファイルの作成に失敗しました。");
}

unsigned listing_job(worker_t* worker, void* job_arg) {
    const settings_t* settings = (const settings_t*)job_arg;
    unsigned result;
    {
        job_storage_t storage;
        storage.top = settings->folder.native;
        storage.list_file = settings->output_file.native;
        result = write_list(settings, worker, &storage);
    }
    if (result == LISTING_OUT_OF_MEMORY) report_out_of_memory();
    return result;
}
