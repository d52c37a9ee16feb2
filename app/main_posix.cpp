// The command-line program's entry: the arguments come from main as the
// bytes the shell gave (the paths keep them), and are handed on beside their
// code page 932 texts, on which the switches are read as on Windows.
#include <locale.h>
#include <stdlib.h>
#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/app_main.h"
#include "app/console_ui_posix.h"
#include "platform/posix/standard_streams_posix.h"

int main(int argc, char** argv) {
    // Before anything is opened: a closed standard stream must not be taken
    // by the list file.
    standard_streams_open_closed();
    console_catch_signals();
    // Name order follows the user's locale, as it does on Windows.
    setlocale(LC_ALL, "");

    char** args = (char**)calloc((size_t)argc + 1, sizeof(char*));
    if (!args) return 1;
    for (int i = 0; i < argc; ++i) {
        const size_t length = strlen(argv[i]);
        const size_t size = text_from_native(nullptr, 0, argv[i], length, TEXT_ARGUMENT) + 1;
        args[i] = (char*)malloc(size);
        if (!args[i]) return 1;
        text_from_native(args[i], size, argv[i], length, TEXT_ARGUMENT);
        GetTraceProc()("argv[%2d]=%s\r\n", i, args[i]);
    }
    const int result = app_main(nullptr, argc, args, argv);
    for (int i = 0; i < argc; ++i) free(args[i]);
    free(args);
    return result;
}
