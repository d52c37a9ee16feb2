// A message box whose text is formatted like printf.
#include "TOOLS/toolwind/toolwind.h"
#include "text/mbs.h"

int MessageBoxFormat(HWND owner, const char* caption, UINT style, const char* format, ...) {
    char text[FORMAT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    str_vformat(text, format, args);
    va_end(args);
    return os.message_box(owner, text, caption, style);
}
