// What the Windows program shows the user: the debugger output, message
// boxes (in wide text, so that they read right whatever the system's code
// page), the beep, the system's words for an error.
#include <windows.h>
// after windows.h
#include <stdlib.h>
#include <string.h>

#include "platform/win32/calls_win32.h"
#include "text/mbs.h"
#include "text/unicode_convert.h"

namespace {

// The UTF-16 of program text: a heap block, or null.
wchar_t* wide_of(const char* text) {
    const size_t length = strlen(text);
    const size_t size = utf16_from_cp932(nullptr, 0, text, length) + 1;
    wchar_t* wide = (wchar_t*)malloc(size * sizeof(wchar_t));
    if (wide) utf16_from_cp932(wide, size, text, length);
    return wide;
}

}  // namespace

void win32_debug_output(const char* text) {
    OutputDebugStringA(text);
}

int win32_message_box(HWND owner, const char* text, const char* caption, unsigned type) {
    wchar_t* wide_text = wide_of(text ? text : "");
    wchar_t* wide_caption = wide_of(caption ? caption : "");
    const int answer = wide_text && wide_caption ? MessageBoxW(owner, wide_text, wide_caption, type)
                                                 : MessageBoxA(owner, text, caption, type);
    free(wide_text);
    free(wide_caption);
    return answer;
}

bool win32_beep(unsigned type) {
    return MessageBeep(type) != FALSE;
}

// FormatMessageW in the user's language, made program text; the program's
// own words where the system has none.
size_t win32_error_reason(os_error_t error, char* out, size_t out_size) {
    wchar_t* words = nullptr;
    DWORD length = 0;
    if (error.system) {
        length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                nullptr, error.system, 0, (wchar_t*)&words, 0, nullptr);
    }
    // The system's sentence ends in a full stop and a blank, or a line end.
    while (length > 0 &&
           (words[length - 1] == L' ' || words[length - 1] == L'\r' || words[length - 1] == L'\n' ||
            words[length - 1] == L'.' || words[length - 1] == 0x3002)) {
        --length;
    }
    size_t written;
    if (length > 0) {
        written = cp932_from_utf16(out, out_size, words, length, REPLACE_CONTROLS);
    } else {
        written = strlen(os_error_message(error.code));
        str_copy_bounded(out, os_error_message(error.code), out_size);
    }
    if (words) LocalFree(words);
    return written;
}
