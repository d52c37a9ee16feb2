#include "platform/posix/console_posix.h"

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>

#include "platform/posix/calls_posix.h"
#include "text/unicode_convert.h"

namespace {

pthread_mutex_t console_lock = PTHREAD_MUTEX_INITIALIZER;
std::atomic<bool> progress_shown{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler reads it");

// Back to the line's start, then the end of the line cleared.
const char ERASE_LINE[] = "\r\x1b[K";

void erase_locked() {
    if (!progress_shown.exchange(false)) return;
    fputs(ERASE_LINE, stderr);
    fflush(stderr);
}

}  // namespace

void console_progress_draw(const char* text) {
    // Code page 932 to UTF-8 takes at most 3 bytes for 2.
    const size_t size = strlen(text) * 2 + 8;
    char* utf8 = (char*)malloc(size);
    if (!utf8) return;
    utf8_from_cp932(utf8, size, text, strlen(text));
    pthread_mutex_lock(&console_lock);
    fprintf(stderr, "\r%s\x1b[K\r", utf8);
    fflush(stderr);
    progress_shown.store(true);
    pthread_mutex_unlock(&console_lock);
    free(utf8);
}

void console_progress_erase() {
    pthread_mutex_lock(&console_lock);
    erase_locked();
    pthread_mutex_unlock(&console_lock);
}

void console_progress_erase_now() {
    if (!progress_shown.load()) return;
    ssize_t ignored = write(STDERR_FILENO, ERASE_LINE, sizeof ERASE_LINE - 1);
    (void)ignored;
}

// One line on standard error, after the program's name as every line of
// its own begins.
bool posix_console_line(const char* text) {
    const size_t size = strlen(text) * 3 + 2;
    char* utf8 = (char*)malloc(size);
    if (utf8) utf8_from_cp932(utf8, size, text, strlen(text));
    pthread_mutex_lock(&console_lock);
    erase_locked();
    fprintf(stderr, "scrivlet: %s\n", utf8 ? utf8 : text);
    fflush(stderr);
    pthread_mutex_unlock(&console_lock);
    free(utf8);
    return true;
}
