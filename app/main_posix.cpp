// The command-line program's entry: the arguments come from main, in the
// terminal's UTF-8, and are handed on in code page 932 like the Windows ones.
#include <locale.h>
#include <stdlib.h>
#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/app_main.h"
#include "platform/posix/codepage_posix.h"

int main(int argc, char** argv) {
    // Name order follows the user's locale, as lstrcmpiA does on Windows.
    setlocale(LC_ALL, "");

    // Code page 932 never needs more bytes than UTF-8 for the same text.
    char** args = (char**)calloc((size_t)argc + 1, sizeof(char*));
    if (!args) return 1;
    for (int i = 0; i < argc; ++i) {
        const size_t size = strlen(argv[i]) + 1;
        args[i] = (char*)malloc(size);
        if (!args[i]) return 1;
        cp932_from_utf8(args[i], size, argv[i]);
        GetTraceProc()("argv[%2d]=%s\r\n", i, args[i]);
    }
    const int result = app_main(nullptr, argc, args);
    for (int i = 0; i < argc; ++i) free(args[i]);
    free(args);
    return result;
}
