// Automatic names of the settings dialog's path rows.
#include "ui/settings/auto_names.h"

#include <string.h>

#include "text/mbs.h"

namespace {

const char OUTPUT_SUFFIX[] = ".txt";

}  // namespace

bool make_output_name_from_folder(const char* folder, char* out) {
    char name[PATH_BUFFER_SIZE];
    str_copy_bounded(name, folder, sizeof name);
    path_split_ext(name);
    size_t length = strlen(name);
    // A lone backslash stays: it is the root of the current drive.
    if (length > 1 && path_is_sep_at(name, length - 1)) name[--length] = '\0';

    const size_t suffix_length = sizeof OUTPUT_SUFFIX - 1;
    if (length + suffix_length > PATH_BUFFER_SIZE - 1) return false;
    memcpy(name + length, OUTPUT_SUFFIX, suffix_length + 1);
    memcpy(out, name, length + suffix_length + 1);
    return true;
}

void make_folder_name_from_output(const char* output, char* out) {
    char folder[PATH_BUFFER_SIZE];
    str_copy_bounded(folder, output, sizeof folder);
    path_split_name(folder);
    // An empty relative part adds just the closing backslash.
    path_combine(out, folder, "");
}
