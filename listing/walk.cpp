#include "listing/walk.h"

#include <string.h>

#include "app/settings.h"
#include "text/mbs.h"

namespace {

constexpr size_t PATH_TEXT_MAX = PATH_BUFFER_SIZE - 1;

bool is_dots(const char* name) {
    return str_equal(name, ".") || str_equal(name, "..");
}

// A folder's text, ready for joining names to it: measured once per folder,
// not once per item.
struct folder_text_t {
    const char* text;
    size_t length;
    bool needs_sep;
};

folder_text_t folder_text(const char* folder) {
    const size_t length = strlen(folder);
    return folder_text_t{folder, length, length > 0 && !path_has_trailing_sep(folder)};
}

// The folder joined with a name, as path_combine joins a plain name: one
// separator between them, the whole cut at 521 bytes. Returns the length
// before the cut.
size_t join_name(char* out, const folder_text_t* folder, const char* name) {
    const size_t name_length = strlen(name);
    size_t length = folder->length;
    memcpy(out, folder->text, length);
    if (folder->needs_sep && length < PATH_TEXT_MAX) out[length++] = '\\';
    const size_t room = PATH_TEXT_MAX - length;
    const size_t taken = name_length < room ? name_length : room;
    memcpy(out + length, name, taken);
    out[length + taken] = '\0';
    return folder->length + (folder->needs_sep ? 1 : 0) + name_length;
}

// Offset of the part below `base` in a path that begins with it.
size_t offset_below(const char* path, const char* base) {
    const size_t length = strlen(base);
    return path[length] == '\\' ? length + 1 : length;
}

// The entry of a found item. The platform composes a short path component
// by component: the parent's short path and the item's own alias (its long
// name when it has none). Asking for each whole path again would search every
// component again. `joined` receives the length of the long path before any cut.
entry_t* new_found_entry(const folder_text_t* folder, const folder_text_t* short_folder,
                         const WIN32_FIND_DATAA* data, walk_context_t* context, size_t* joined) {
    walk_scratch_t* scratch = &context->scratch;
    *joined = join_name(scratch->path, folder, data->cFileName);
    const char* short_path = nullptr;
    if (short_folder->text) {
        const char* alias = data->cAlternateFileName[0] ? data->cAlternateFileName : data->cFileName;
        join_name(scratch->short_path, short_folder, alias);
        short_path = scratch->short_path;
    }
    // A name without a key (none is that long) sorts by its bytes.
    const char* key = make_sort_key(data->cFileName, scratch->sort_key, sizeof scratch->sort_key);
    return entry_new(scratch->path, offset_below(scratch->path, context->top), data->cFileName,
                     key ? key : data->cFileName, data->dwFileAttributes, short_path,
                     short_path ? offset_below(short_path, context->short_top) : 0);
}

// A found item that passes is recorded; a folder is walked at once when
// subfolders are wanted. A folder is walked only when its own search pattern
// ("path\*") still fits the path buffer: deeper paths would be cut, and a
// cut path (a symbolic link that leads back up, say) could be walked forever.
// Returns false when the enumeration of this folder should stop.
bool add_found_entry(const folder_text_t* folder, const folder_text_t* short_folder,
                     const WIN32_FIND_DATAA* data, entry_list_t* list, walk_context_t* context) {
    const bool is_folder = (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_folder || context->filter->matches(data->cFileName)) {
        size_t joined;
        entry_t* entry = new_found_entry(folder, short_folder, data, context, &joined);
        if (entry) {
            const bool walkable = joined + 2 <= PATH_TEXT_MAX;
            if (is_folder && (context->flags & FLAG_SUBFOLDERS) && walkable) {
                entry->children = walk_folder(entry->path, entry->short_path, context);
            }
            entry_list_push_front(list, entry);
            if (context->worker) worker_add_found(context->worker, 1);
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
        const folder_text_t long_text = folder_text(folder);
        const folder_text_t short_text = short_folder ? folder_text(short_folder) : folder_text_t{};
        do {
            if (is_dots(data.cFileName)) continue;
            if (!add_found_entry(&long_text, &short_text, &data, list, context)) break;
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
