// The Windows program's entry: the command line comes from GetCommandLineA
// and is split by the program's own splitter.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <objbase.h>
#include <stdlib.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/app_main.h"
#include "app/command_line.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int count = 0;
    char** args = split_command_line(GetCommandLineA(), &count);
    if (!args) return 1;
    for (int i = 0; i < count; ++i) GetTraceProc()("argv[%2d]=%s\r\n", i, args[i]);

    InitCommonControls();
    CoInitialize(nullptr);
    const int result = app_main(instance, count, args);
    CoUninitialize();
    free(args);
    return result;
}
