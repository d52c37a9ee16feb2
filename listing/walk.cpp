#include "listing/walk.h"

#include <string.h>

#include "app/settings.h"
#include "text/mbs.h"

namespace {

constexpr size_t PATH_TEXT_MAX = PATH_BUFFER_SIZE - 1;

bool is_dots(const char* name) {
    return str_equal(name, ".") || str_equal(name, "..");
}

// Length of path_combine(folder, name) for a plain name, before any cut.
size_t joined_length(const char* folder, const char* name) {
    const size_t folder_length = strlen(folder);
    const bool needs_sep = folder_length > 0 && !path_has_trailing_sep(folder);
    return folder_length + (needs_sep ? 1 : 0) + strlen(name);
}

// Offset of the part below `base` in a path that begins with it.
size_t offset_below(const char* path, const char* base) {
    const size_t length = strlen(base);
    return path[length] == '\\' ? length + 1 : length;
}

// A found item that passes is recorded; a folder is walked at once when
// subfolders are wanted. A folder is walked only when its own search pattern
// ("path\*") still fits the path buffer: deeper paths would be cut, and a
// cut path (a symbolic link that leads back up, say) could be walked forever.
// Returns false when the enumeration of this folder should stop.
bool add_found_entry(const char* folder, const char* short_folder, const WIN32_FIND_DATAA* data,
                     entry_list_t* list, walk_context_t* context) {
    const bool is_folder = (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_folder || context->filter->matches(data->cFileName)) {
        char path[PATH_BUFFER_SIZE];
        const size_t length = joined_length(folder, data->cFileName);
        path_combine(path, folder, data->cFileName);

        char short_path[PATH_BUFFER_SIZE];
        const char* short_form = nullptr;
        if (short_folder) {
            // The platform composes a short path component by component:
            // the parent's short path and the item's own alias (its long
            // name when it has none). Asking for each whole path again would
            // search every component again.
            const char* alias = data->cAlternateFileName[0] ? data->cAlternateFileName : data->cFileName;
            path_combine(short_path, short_folder, alias);
            short_form = short_path;
        }

        entry_t* entry =
            entry_new(path, offset_below(path, context->top), data->cFileName, data->dwFileAttributes,
                      short_form, short_form ? offset_below(short_form, context->short_top) : 0);
        if (entry) {
            const bool walkable = length + 2 <= PATH_TEXT_MAX;
            if (is_folder && (context->flags & FLAG_SUBFOLDERS) && walkable) {
                entry->children = walk_folder(entry->path, entry->short_path, context);
            }
            entry_list_push_front(list, entry);
        }
    }
    return !cancel_check_due(&context->cancel);
}

}  // namespace

entry_list_t* walk_folder(const char* folder, const char* short_folder, walk_context_t* context) {
    entry_list_t* list = entry_list_new();
    if (!list) return nullptr;

    char pattern[PATH_BUFFER_SIZE];
    path_combine(pattern, folder, "*");
    WIN32_FIND_DATAA data;
    HANDLE find = os.FindFirstFileA(pattern, &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (is_dots(data.cFileName)) continue;
            if (!add_found_entry(folder, short_folder, &data, list, context)) break;
        } while (os.FindNextFileA(find, &data));
        os.FindClose(find);
    }

    if (cancel_check_now(&context->cancel)) {
        entry_list_free(list);
        return nullptr;
    }
    entry_list_sort(list);
    return list;
}
