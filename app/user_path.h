// A path as the user gave it: its native text for every system call, its
// code page 932 text for what the program shows and writes.
//
// Ownership: both texts are heap blocks owned by the record (or, while the
// path is empty, one shared empty text that is never freed). A record is
// released with user_path_free; a plain struct copy shares the blocks, so
// exactly one of the copies may be freed. After user_path_init neither
// pointer is ever null.
#pragma once

#include <stddef.h>

#include "platform/native_text.h"

struct user_path_t {
    nchar_t* native;  // exactly as given, NUL-terminated
    char* text;       // text_from_native(TEXT_PATH) of native, NUL-terminated
};

// The longest native path the program holds, in native units without the
// terminator: what the wide file calls take through the "\\?\" form on
// Windows, PATH_MAX with its terminator on Linux. A longer path is refused,
// never cut.
#ifdef _WIN32
constexpr size_t USER_PATH_MAX = 32767;
#else
constexpr size_t USER_PATH_MAX = 4095;
#endif

// An empty path.
void user_path_init(user_path_t* path);
// Releases the texts and leaves an empty path.
void user_path_free(user_path_t* path);

// Takes the first `length` units of native as the path. False, with the
// path unchanged, when it is longer than USER_PATH_MAX or memory runs out.
bool user_path_set_native(user_path_t* path, const nchar_t* native, size_t length);
bool user_path_set(user_path_t* path, const nchar_t* native);
// The path of program text (code page 932), for texts the program composes
// and for tests: the text is kept as given, the native text made from it
// (native_from_text: "\" separators become the system's). False as above.
bool user_path_set_text(user_path_t* path, const char* text);
// A copy with blocks of its own; false as above.
bool user_path_copy(user_path_t* to, const user_path_t* from);
// Moves from's texts into to (whose old texts are freed); from becomes empty.
void user_path_move(user_path_t* to, user_path_t* from);

inline bool user_path_is_empty(const user_path_t* path) {
    return path->native[0] == 0;
}
