#include "listing/entry_list.h"

#include <stdlib.h>
#include <string.h>

entry_t* entry_new(const char* path, size_t rel_offset, const char* name, const char* sort_key,
                   DWORD attributes, const char* short_path, size_t short_rel_offset) {
    const size_t path_size = strlen(path) + 1;
    const size_t name_size = strlen(name) + 1;
    const size_t short_size = short_path ? strlen(short_path) + 1 : 0;
    const size_t key_size = strlen(sort_key) + 1;
    entry_t* entry = (entry_t*)malloc(sizeof(entry_t) + path_size + name_size + short_size + key_size);
    if (!entry) return nullptr;
    char* text = (char*)(entry + 1);
    entry->sort_key = (const char*)memcpy(text + path_size + name_size + short_size, sort_key, key_size);
    entry->prev = entry->next = nullptr;
    entry->children = nullptr;
    entry->attributes = attributes;
    entry->path = (char*)memcpy(text, path, path_size);
    entry->rel_name = entry->path + rel_offset;
    entry->name = (const char*)memcpy(text + path_size, name, name_size);
    if (short_path) {
        entry->short_path = (char*)memcpy(text + path_size + name_size, short_path, short_size);
        entry->short_rel_name = entry->short_path + short_rel_offset;
    } else {
        entry->short_path = nullptr;
        entry->short_rel_name = nullptr;
    }
    return entry;
}

void entry_free(entry_t* entry) {
    if (entry->children) entry_list_free(entry->children);
    free(entry);
}

entry_list_t* entry_list_new() {
    return (entry_list_t*)calloc(1, sizeof(entry_list_t));
}

int entry_list_push_front(entry_list_t* list, entry_t* entry) {
    entry->prev = nullptr;
    entry->next = list->first;
    if (list->first) list->first->prev = entry;
    list->first = entry;
    if (!list->last) list->last = entry;
    return ++list->count;
}

int compare_entries(const entry_t* a, const entry_t* b) {
    const bool a_folder = entry_is_folder(a);
    const bool b_folder = entry_is_folder(b);
    if (a_folder != b_folder) return a_folder ? -1 : 1;
    return strcmp(a->sort_key, b->sort_key);
}

const char* make_sort_key(const char* name, char* key, size_t key_size) {
    const int size =
        os.LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, name, -1, key, (int)key_size);
    return size > 0 ? key : nullptr;
}

void entry_list_free(entry_list_t* list) {
    entry_t* entry = list->first;
    while (entry) {
        entry_t* next = entry->next;
        entry_free(entry);
        entry = next;
    }
    free(list);
}
