#include "listing/list_output.h"

#include <stdlib.h>
#include <string.h>

namespace {

// One large buffer: a big tree is one long stream of short lines, and the
// system is asked to write only every so many bytes.
constexpr size_t OUTPUT_BUFFER_SIZE = 256 * 1024;

const nchar_t* name_in_path(const nchar_t* path) {
    const nchar_t* name = path;
    for (const nchar_t* p = path; *p; ++p) {
        if (*p == NTEXT('/') || (NTEXT('\\') != NTEXT('/') && *p == NTEXT('\\'))) name = p + 1;
    }
    return name;
}

bool is_standard_output(const nchar_t* target) {
    return target[0] == NTEXT('-') && target[1] == 0;
}

void fail(list_output_t* out, list_failure_t failure, os_error_t error) {
    if (out->failure != LIST_FAILURE_NONE) return;
    out->failure = failure;
    out->error = error;
}

void fail_now(list_output_t* out, list_failure_t failure) {
    fail(out, failure, os_last_error());
}

// A pipe with nobody reading yet, or one kept full: ask again until it
// moves or a cancel comes.
bool should_wait(list_output_t* out) {
    if (os_last_error().code != OS_ERROR_WOULD_BLOCK) return false;
    if (cancel_requested(out->cancel)) {
        out->cancelled = true;
        return false;
    }
    return true;
}

void hand_over(list_output_t* out) {
    size_t at = 0;
    while (at < out->used && out->failure == LIST_FAILURE_NONE && !out->cancelled) {
        size_t written = 0;
        const bool whole = os.file_write(out->file, out->buffer + at, out->used - at, &written);
        at += written;
        if (!whole && !should_wait(out) && !out->cancelled) fail_now(out, LIST_FAILURE_WRITE);
    }
    out->used = 0;
}

bool open_target(list_output_t* out, const nchar_t* target) {
    if (is_standard_output(target)) {
        out->file = os.file_standard_output();
        if (!out->file) fail_now(out, LIST_FAILURE_CREATE);
        return out->file != nullptr;
    }
    list_target_t found;
    if (!os.list_target_find(target, &found)) {
        fail_now(out, LIST_FAILURE_TARGET);
        return false;
    }
    out->target = found.path;
    if (found.kind == LIST_TARGET_OTHER) {
        while (!(out->file = os.file_open_direct(&found))) {
            if (!should_wait(out)) {
                if (!out->cancelled) fail_now(out, LIST_FAILURE_CREATE);
                return false;
            }
        }
        return true;
    }
    if (found.read_only) {
        fail(out, LIST_FAILURE_READ_ONLY, os_error_t{OS_ERROR_READ_ONLY, 0});
        return false;
    }
    out->replaces_file = found.kind == LIST_TARGET_REGULAR;
    out->file = os.file_create_temp(out->target, &out->temp_path);
    if (!out->file) {
        fail_now(out, LIST_FAILURE_CREATE);
        return false;
    }
    out->temp_name = name_in_path(out->temp_path);
    if (!os.file_identity(out->file, &out->temp_identity)) {
        fail_now(out, LIST_FAILURE_CREATE);
        return false;
    }
    return true;
}

void close_file(list_output_t* out) {
    if (out->file && !os.file_close(out->file)) fail_now(out, LIST_FAILURE_WRITE);
    out->file = nullptr;
}

void release(list_output_t* out) {
    if (out->temp_path) {
        os.file_remove(out->temp_path);
        free(out->temp_path);
        out->temp_path = nullptr;
        out->temp_name = nullptr;
    }
    free(out->target);
    out->target = nullptr;
    free(out->buffer);
    out->buffer = nullptr;
}

}  // namespace

bool list_output_open(list_output_t* out, const nchar_t* target, const cancel_check_t* cancel) {
    *out = list_output_t{};
    out->cancel = cancel;
    out->buffer = (char*)os.malloc(OUTPUT_BUFFER_SIZE);
    if (!out->buffer) {
        fail_now(out, LIST_FAILURE_NO_MEMORY);
        return false;
    }
    if (!open_target(out, target)) {
        close_file(out);
        release(out);
        return false;
    }
    return true;
}

bool list_output_is_temp_file(const list_output_t* out, const folder_identity_t* identity) {
    return out->temp_path && same_folder(&out->temp_identity, identity);
}

void list_output_write(list_output_t* out, const char* bytes, size_t length) {
    while (length > 0 && out->failure == LIST_FAILURE_NONE && !out->cancelled) {
        if (out->used == OUTPUT_BUFFER_SIZE) hand_over(out);
        size_t taken = OUTPUT_BUFFER_SIZE - out->used;
        if (taken > length) taken = length;
        memcpy(out->buffer + out->used, bytes, taken);
        out->used += taken;
        bytes += taken;
        length -= taken;
    }
}

char* list_output_room(list_output_t* out, size_t length) {
    if (length > OUTPUT_BUFFER_SIZE || out->failure != LIST_FAILURE_NONE || out->cancelled) return nullptr;
    if (OUTPUT_BUFFER_SIZE - out->used < length) hand_over(out);
    return out->failure == LIST_FAILURE_NONE && !out->cancelled ? out->buffer + out->used : nullptr;
}

list_finish_t list_output_finish(list_output_t* out) {
    hand_over(out);
    // Every step is checked, the flush on its own: a close may report
    // success when its own last flush failed (Wine does, on a full disk).
    if (out->failure == LIST_FAILURE_NONE && !out->cancelled && !os.file_flush(out->file)) {
        fail_now(out, LIST_FAILURE_WRITE);
    }
    if (out->failure == LIST_FAILURE_NONE && out->temp_path &&
        !os.file_copy_metadata(out->replaces_file ? out->target : nullptr, out->file)) {
        fail_now(out, LIST_FAILURE_WRITE);
    }
    close_file(out);
    list_finish_t result = LIST_FAILED;
    if (out->failure == LIST_FAILURE_NONE) {
        // The decision: a cancel that came before this point keeps the old
        // list; one that comes after it is too late to change anything.
        if (out->cancelled || cancel_requested(out->cancel)) {
            result = LIST_CANCELLED;
        } else if (!out->temp_path || os.file_replace(out->temp_path, out->target)) {
            if (out->temp_path) {
                free(out->temp_path);
                out->temp_path = nullptr;
            }
            result = LIST_FINISHED;
        } else {
            fail_now(out, LIST_FAILURE_REPLACE);
        }
    } else if (out->cancelled) {
        result = LIST_CANCELLED;
    }
    release(out);
    return result;
}

void list_output_abandon(list_output_t* out) {
    if (out->file) os.file_close(out->file);
    out->file = nullptr;
    release(out);
}
