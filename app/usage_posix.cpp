// The Linux program's words on its standard streams, in the terminal's UTF-8.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/usage.h"
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

}  // namespace

void show_usage() {
    put_utf8(stdout, usage_text());
}

void show_version() {
    fputs("scrivlet " SCRIVLET_VERSION "\n", stdout);
}

void report_unusable_command_line(command_problem_t problem, const char* argument) {
    // The line of the missing dialog says how to run unattended.
    if (problem == PROBLEM_NO_DIALOG) {
        show_settings_dialog(nullptr);
        return;
    }
    put_utf8(stderr, "scrivlet: ");
    put_utf8(stderr, command_problem_text(problem));
    if (argument && command_problem_names_argument(problem)) put_utf8(stderr, argument);
    fputs("\n", stderr);
}
