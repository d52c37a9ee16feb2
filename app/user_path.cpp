#include "app/user_path.h"

#include <stdlib.h>
#include <string.h>

namespace {

nchar_t empty_native[1] = {0};
char empty_text[1] = {0};

void free_texts(user_path_t* path) {
    if (path->native && path->native != empty_native) free(path->native);
    if (path->text && path->text != empty_text) free(path->text);
}

}  // namespace

void user_path_init(user_path_t* path) {
    path->native = empty_native;
    path->text = empty_text;
}

void user_path_free(user_path_t* path) {
    free_texts(path);
    user_path_init(path);
}

bool user_path_set_native(user_path_t* path, const nchar_t* native, size_t length) {
    if (length > USER_PATH_MAX) return false;
    if (length == 0) {
        user_path_free(path);
        return true;
    }
    nchar_t* own_native = (nchar_t*)malloc((length + 1) * sizeof(nchar_t));
    if (!own_native) return false;
    memcpy(own_native, native, length * sizeof(nchar_t));
    own_native[length] = 0;

    // Measured first: every native unit may take two bytes of code page text.
    const size_t text_length = text_from_native(nullptr, 0, own_native, length, TEXT_PATH);
    char* own_text = (char*)malloc(text_length + 1);
    if (!own_text) {
        free(own_native);
        return false;
    }
    text_from_native(own_text, text_length + 1, own_native, length, TEXT_PATH);

    free_texts(path);
    path->native = own_native;
    path->text = own_text;
    return true;
}

bool user_path_set(user_path_t* path, const nchar_t* native) {
    return user_path_set_native(path, native, native_length(native));
}

bool user_path_set_text(user_path_t* path, const char* text) {
    const size_t length = native_from_text(nullptr, 0, text);
    if (length > USER_PATH_MAX) return false;
    if (length == 0) {
        user_path_free(path);
        return true;
    }
    nchar_t* native = (nchar_t*)malloc((length + 1) * sizeof(nchar_t));
    const size_t text_size = strlen(text) + 1;
    char* own_text = (char*)malloc(text_size);
    if (!native || !own_text) {
        free(native);
        free(own_text);
        return false;
    }
    native_from_text(native, length + 1, text);
    memcpy(own_text, text, text_size);
    free_texts(path);
    path->native = native;
    path->text = own_text;
    return true;
}

bool user_path_copy(user_path_t* to, const user_path_t* from) {
    return user_path_set(to, from->native);
}

void user_path_move(user_path_t* to, user_path_t* from) {
    free_texts(to);
    *to = *from;
    user_path_init(from);
}
