// The command-line program has no windows: where the Windows program shows
// its settings dialog this one says how to run unattended, and where it shows
// the progress window this one waits for the worker. SIGINT (Ctrl+C), SIGTERM
// and SIGHUP cancel the run; a second one ends the program at once. On a
// terminal, one line on standard error tells how far the run is.
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

#include "app/app_main.h"
#include "listing/listing_job.h"
#include "platform/posix/codepage_posix.h"
#include "ui/progress/progress_text.h"
#include "ui/progress/progress_window.h"
#include "ui/settings/settings_dialog.h"

namespace {

const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t STOP_SIGNAL_COUNT = sizeof STOP_SIGNALS / sizeof STOP_SIGNALS[0];

// Both are read and written in the signal handler: lock-free atomics only.
std::atomic<int> first_signal{0};     // the signal that cancelled the run; 0 for none
std::atomic<bool> line_shown{false};  // the progress line is on the terminal now
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

// Back to the line's start, then the end of the line cleared.
const char ERASE_LINE[] = "\r\x1b[K";

// The first signal only asks for a cancel (the wait below passes it on, as
// the job's rules for an existing list must hold); a second one ends the
// program at once, even while the worker blocks opening a list file. Only
// async-signal-safe calls here.
void on_stop_signal(int signal_number) {
    int none = 0;
    if (first_signal.compare_exchange_strong(none, signal_number)) return;
    if (line_shown.load()) {
        ssize_t ignored = write(STDERR_FILENO, ERASE_LINE, sizeof ERASE_LINE - 1);
        (void)ignored;
    }
    _exit(128 + signal_number);
}

// How often the wait looks for a signal, as the progress window's timer polls.
constexpr DWORD POLL_MILLISECONDS = 50;
// The progress line changes at most four times a second; a run shorter than
// that shows none.
constexpr long LINE_REFRESH_MS = 250;

long milliseconds_now() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

// The line is drawn with the cursor put back at its start, so that a message
// of the job (a failed write) takes the line's place instead of following it.
struct progress_line_t {
    bool enabled;        // standard error is a terminal
    const char* folder;  // the folder being listed, code page 932
    long last_draw_ms;
    char shown[PROGRESS_TEXT_SIZE];
};

// Room for the line: one byte of code page 932 takes one column, a
// double-byte character two, and a line as wide as the terminal would wrap
// and leave its start behind when it is drawn again.
size_t line_room() {
    winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return PROGRESS_TEXT_SIZE;
    return size.ws_col < PROGRESS_TEXT_SIZE ? size.ws_col : PROGRESS_TEXT_SIZE;
}

void progress_line_update(progress_line_t* line, uint64_t count) {
    const long now = milliseconds_now();
    if (!line->enabled || now - line->last_draw_ms < LINE_REFRESH_MS) return;
    line->last_draw_ms = now;
    char text[PROGRESS_TEXT_SIZE];
    format_progress_text(text, line_room(), line->folder, count);
    if (line_shown.load() && strcmp(text, line->shown) == 0) return;
    memcpy(line->shown, text, sizeof text);
    // Code page 932 to UTF-8 takes at most 3 bytes for 2.
    char utf8[PROGRESS_TEXT_SIZE * 2 + 8];
    utf8_from_cp932(utf8, sizeof utf8, text);
    fprintf(stderr, "\r%s\x1b[K\r", utf8);
    fflush(stderr);
    line_shown.store(true);
}

void progress_line_erase() {
    if (!line_shown.exchange(false)) return;
    fputs(ERASE_LINE, stderr);
    fflush(stderr);
}

}  // namespace

bool show_settings_dialog(dialog_param_t*) {
    char line[FORMAT_BUFFER_SIZE];
    utf8_from_cp932(line, sizeof line,
                    "scrivlet: 設定ダイアログは Windows 版にだけあります。"
                    "/noui フォルダ 出力ファイル、または /auto フォルダ で一覧を作成します。\n");
    fputs(line, stderr);
    return false;  // ends the run as a cancelled dialog does
}

bool progress_run(HINSTANCE, worker_t* worker, HICON, const char* folder) {
    struct sigaction action = {};
    action.sa_handler = on_stop_signal;
    // A list file that blocks on open is opened again after the handler.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal_number : STOP_SIGNALS) sigaddset(&action.sa_mask, signal_number);
    struct sigaction previous[STOP_SIGNAL_COUNT];
    for (size_t i = 0; i < STOP_SIGNAL_COUNT; ++i) sigaction(STOP_SIGNALS[i], &action, &previous[i]);

    progress_line_t line = {isatty(STDERR_FILENO) == 1, folder, milliseconds_now(), ""};
    while (os.WaitForSingleObject(worker->thread, POLL_MILLISECONDS) == WAIT_TIMEOUT) {
        if (first_signal.load()) worker_cancel(worker);
        progress_line_update(&line, worker_found(worker));
    }
    // A signal that came as the job ended still makes the run a cancelled one.
    if (first_signal.load()) worker_cancel(worker);
    progress_line_erase();

    for (size_t i = 0; i < STOP_SIGNAL_COUNT; ++i) sigaction(STOP_SIGNALS[i], &previous[i], nullptr);
    return true;
}

HICON load_small_app_icon(HINSTANCE) {
    return nullptr;
}

// As a shell reports a program ended by a signal: 128 and its number (130
// for Ctrl+C, 143 for SIGTERM, 129 for SIGHUP); otherwise the job's result.
int app_exit_code(worker_t* worker) {
    const int signal_number = first_signal.load();
    if (signal_number) return 128 + signal_number;
    if (worker_is_cancelled(worker)) return (int)LISTING_CANCELLED;
    return (int)worker_exit_code(worker, LISTING_WRITE_FAILED);
}
