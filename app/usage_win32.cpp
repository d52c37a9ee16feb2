// The Windows program's words: the usage in a window of its own.
#include "app/usage.h"
#include "ui/info/usage_window.h"

bool show_usage() {
    show_usage_window(nullptr, usage_text());
    return true;
}

bool show_version() {
    return true;
}

// The dialog opens instead, and says why (app_main.cpp).
void report_unusable_command_line(command_problem_t, const char*, const char*) {}
