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

void hand_over(list_output_t* out) {
    if (out->used > 0 && !out->failed && os.fwrite(out->buffer, 1, out->used, out->file) != out->used) {
        out->failed = true;
    }
    out->used = 0;
}

void close_file(list_output_t* out) {
    if (out->file) os.fclose(out->file);
    out->file = nullptr;
}

void release(list_output_t* out) {
    if (out->temp_path) {
        os.remove_file(out->temp_path);
        free(out->temp_path);
        out->temp_path = nullptr;
    }
    free(out->buffer);
    out->buffer = nullptr;
}

}  // namespace

bool list_output_open(list_output_t* out, const nchar_t* target) {
    *out = list_output_t{};
    out->target = target;
    out->buffer = (char*)os.malloc(OUTPUT_BUFFER_SIZE);
    if (!out->buffer) {
        out->out_of_memory = true;
        return false;
    }
    if (os.list_target_kind(target) != LIST_TARGET_OTHER)
        out->file = os.create_temp_file(target, &out->temp_path);
    if (out->file) {
        out->temp_name = name_in_path(out->temp_path);
    } else {
        out->file = os.fopen(target, "wb");
    }
    if (!out->file) {
        release(out);
        return false;
    }
    // The lines are buffered here; stdio would only copy them again.
    setvbuf(out->file, nullptr, _IONBF, 0);
    return true;
}

void list_output_write(list_output_t* out, const char* bytes, size_t length) {
    while (length > 0 && !out->failed) {
        if (out->used == OUTPUT_BUFFER_SIZE) hand_over(out);
        size_t taken = OUTPUT_BUFFER_SIZE - out->used;
        if (taken > length) taken = length;
        memcpy(out->buffer + out->used, bytes, taken);
        out->used += taken;
        bytes += taken;
        length -= taken;
    }
}

bool list_output_finish(list_output_t* out) {
    hand_over(out);
    // Every step is checked, the flush on its own: fclose may report success
    // when its own last flush failed (Wine does, on a full disk).
    bool written = !out->failed;
    if (out->temp_path) written = os.flush_file(out->file) && written;
    written = os.fclose(out->file) == 0 && written;
    out->file = nullptr;
    if (written && out->temp_path) {
        written = os.replace_file(out->temp_path, out->target);
        if (written) {
            free(out->temp_path);
            out->temp_path = nullptr;
        }
    }
    release(out);
    return written;
}

void list_output_abandon(list_output_t* out) {
    close_file(out);
    release(out);
}
