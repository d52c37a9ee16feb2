// Debugger output, message boxes and the beep on POSIX: a terminal program
// has standard error for all three.
#include <langinfo.h>
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
void WINAPI posix_OutputDebugStringA(LPCSTR text) {
    static const bool enabled = getenv("SCRIVLET_DEBUG") != nullptr;
    if (enabled) write_to_stderr(text);
}

int WINAPI posix_MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    write_to_stderr(caption ? caption : "");
    write_to_stderr(": ");
    write_to_stderr(text ? text : "");
    write_to_stderr("\n");
    return IDOK;
}

BOOL WINAPI posix_MessageBeep(UINT) {
    if (isatty(STDERR_FILENO)) write_to_stderr("\a");
    return TRUE;
}
