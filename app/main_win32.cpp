// The Windows program's entry: the command line comes from GetCommandLineW,
// so that no best fit changes a character before the program sees it, and is
// split by the program's own splitter. Switches are read, and traced, on the
// code page 932 text of each argument; paths keep their wide text.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <objbase.h>
#include <stdlib.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/app_main.h"
#include "app/command_line.h"
#include "platform/win32/console_win32.h"

namespace {

// The code page 932 texts of the arguments: a table of count heap texts.
char** texts_of(wchar_t** native, int count) {
    char** texts = (char**)calloc((size_t)count + 1, sizeof(char*));
    if (!texts) return nullptr;
    for (int i = 0; i < count; ++i) {
        const size_t length = wcslen(native[i]);
        const size_t size = text_from_native(nullptr, 0, native[i], length, TEXT_ARGUMENT) + 1;
        texts[i] = (char*)malloc(size);
        if (!texts[i]) return texts;  // the caller sees the null and gives up
        text_from_native(texts[i], size, native[i], length, TEXT_ARGUMENT);
    }
    return texts;
}

void free_texts(char** texts, int count) {
    for (int i = 0; i < count; ++i) free(texts[i]);
    free(texts);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Started from a console: the program's lines go there instead of boxes.
    console_attach_parent();
    int count = 0;
    wchar_t** native = split_command_line(GetCommandLineW(), &count);
    if (!native) return 1;
    char** args = texts_of(native, count);
    bool complete = args != nullptr;
    for (int i = 0; complete && i < count; ++i) complete = args[i] != nullptr;
    if (!complete) {
        if (args) free_texts(args, count);
        free(native);
        return 1;
    }
    for (int i = 0; i < count; ++i) GetTraceProc()("argv[%2d]=%s\r\n", i, args[i]);

    InitCommonControls();
    CoInitialize(nullptr);
    const int result = app_main(instance, count, args, native);
    CoUninitialize();
    free_texts(args, count);
    free(native);
    return result;
}
