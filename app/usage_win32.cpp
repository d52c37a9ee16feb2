// The Windows program's words: the usage in a message box.
#include <stdlib.h>
#include <string.h>

#include "app/usage.h"
#include "platform/platform.h"

namespace {

// A message box breaks its lines at CR LF.
char* with_crlf(const char* text) {
    size_t lines = 0;
    for (const char* p = text; *p; ++p) lines += *p == '\n';
    char* out = (char*)malloc(strlen(text) + lines + 1);
    if (!out) return nullptr;
    char* q = out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') *q++ = '\r';
        *q++ = *p;
    }
    *q = '\0';
    return out;
}

}  // namespace

void show_usage() {
    char* text = with_crlf(usage_text());
    if (!text) return;
    os.message_box(nullptr, text, "Scrivlet", MB_OK);
    free(text);
}

void show_version() {}

// The dialog opens instead; nothing to say here.
void report_unusable_command_line(command_problem_t, const char*) {}
