// The Linux program's words on its standard streams, in the terminal's UTF-8.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "app/usage.h"
#include "platform/posix/calls_posix.h"
#include "platform/posix/standard_streams_posix.h"
#include "scrivlet_version.h"
#include "text/unicode_convert.h"
#include "ui/settings/settings_dialog.h"

namespace {

void put_utf8(FILE* stream, const char* text) {
    // One byte of code page 932 becomes at most three of UTF-8.
    const size_t size = strlen(text) * 3 + 1;
    char* utf8 = (char*)malloc(size);
    if (!utf8) return;
    utf8_from_cp932(utf8, size, text, strlen(text));
    fputs(utf8, stream);
    free(utf8);
}

// Standard output, written whole or not: a closed one (">&-") or a full one
// (/dev/full) fails the program, as every careful tool does.
bool put_on_standard_output(const char* text) {
    const int closed_at_start = standard_stream_was_closed(STDOUT_FILENO) ? EBADF : 0;
    errno = 0;
    put_utf8(stdout, text);
    const bool written = !closed_at_start && fflush(stdout) == 0 && !ferror(stdout);
    if (written) return true;
    const int error = closed_at_start ? closed_at_start : errno ? errno : EIO;
    char reason[256];
    os.error_reason(os_error_t{posix_error_code(error), (uint32_t)error}, reason, sizeof reason);
    char line[FORMAT_BUFFER_SIZE];
    str_format(line, "標準出力に書き出せませんでした (%s)", reason);
    os.console_line(line);
    return false;
}

}  // namespace

bool show_usage() {
    return put_on_standard_output(usage_text());
}

bool show_version() {
    return put_on_standard_output("scrivlet " SCRIVLET_VERSION "\n");
}

void report_unusable_command_line(command_problem_t problem, const char* argument, const char* folder) {
    // The line of the missing dialog says how to run unattended.
    if (problem == PROBLEM_NO_DIALOG) {
        show_settings_dialog(nullptr);
        return;
    }
    char line[FORMAT_BUFFER_SIZE];
    describe_unusable_command_line(line, problem, argument, folder);
    put_utf8(stderr, "scrivlet: ");
    put_utf8(stderr, line);
    fputs("\n", stderr);
}
