// Debugger output, message boxes and the beep on POSIX: a terminal program
// has standard error for all three.
#include <langinfo.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "platform/posix/calls_posix.h"
#include "text/mbs.h"
#include "text/unicode_convert.h"

namespace {

// Program texts are code page 932; the terminal gets UTF-8 (in the C
// locale too: a terminal that shows nothing but ASCII is rare today).
void write_to_stderr(const char* text) {
    char utf8[FORMAT_BUFFER_SIZE * 3];
    utf8_from_cp932(utf8, sizeof utf8, text, strlen(text));
    fputs(utf8, stderr);
    fflush(stderr);
}

}  // namespace

// Silent unless SCRIVLET_DEBUG is set, as debugger output is unseen on
// Windows unless a debugger listens.
void posix_debug_output(const char* text) {
    static const bool enabled = getenv("SCRIVLET_DEBUG") != nullptr;
    if (enabled) write_to_stderr(text);
}

// A terminal program has no boxes: the text goes to standard error as the
// program's other lines do (the caption is always the program's name).
int posix_message_box(HWND, const char* text, const char*, unsigned) {
    posix_console_line(text ? text : "");
    return IDOK;
}

bool posix_beep(unsigned) {
    if (isatty(STDERR_FILENO)) write_to_stderr("\a");
    return true;
}

// strerror_l in the user's locale (Japanese under ja_JP), made program text.
size_t posix_error_reason(os_error_t error, char* out, size_t out_size) {
    const char* words = nullptr;
    locale_t user = error.system ? newlocale(LC_ALL_MASK, "", (locale_t)0) : (locale_t)0;
    if (user) words = strerror_l((int)error.system, user);
    size_t length;
    if (words) {
        cp932_from_utf8(out, out_size, words, strlen(words), REPLACE_CONTROLS);
        length = strlen(out);
    } else {
        length = strlen(os_error_message(error.code));
        str_copy_bounded(out, os_error_message(error.code), out_size);
    }
    if (user) freelocale(user);
    return length;
}
