// The command-line program has no windows: where the Windows program shows
// its settings dialog this one says how to run unattended, and where it shows
// the progress window this one waits for the worker.
//
// Signals, caught from the program's start to its end: SIGINT (Ctrl+C),
// SIGTERM and SIGHUP cancel the run (the old list stays unless the new one
// has already taken its place); a second one ends the program at once, with
// 128 + its number while the run goes on and with the run's own status once
// it is over. Before a run they end the program as they would. Every other
// signal whose default ends the process does so too, after the run's
// temporary file is removed. SIGPIPE is ignored: a closed pipe is a failed
// write, reported as one.
//
// On a terminal, one line on standard error tells how far the run is; the
// program's other lines never land inside it.
#include "app/console_ui_posix.h"

#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>

#include "app/app_main.h"
#include "listing/listing_job.h"
#include "platform/posix/console_posix.h"
#include "platform/posix/temp_files_posix.h"
#include "text/unicode_convert.h"
#include "ui/progress/progress_text.h"
#include "ui/progress/progress_window.h"
#include "ui/settings/settings_dialog.h"

namespace {

const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
// Those whose default action ends the process, beside the stop signals.
const int ENDING_SIGNALS[] = {SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                              SIGXCPU, SIGXFSZ, SIGIO,   SIGPWR,  SIGSYS,    SIGTRAP,
                              SIGABRT, SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,    SIGSTKFLT};
constexpr int MOST_SIGNALS = 65;

// Read and written in the signal handlers: lock-free atomics only.
std::atomic<int> first_signal{0};                // the signal that cancelled the run; 0 for none
std::atomic<worker_t*> running_worker{nullptr};  // the run a stop signal cancels
std::atomic<int> finished_status{-1};            // the exit code of a run that is over; -1 before
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<worker_t*>::is_always_lock_free,
              "the signal handlers need lock-free atomics");
struct sigaction previous_actions[MOST_SIGNALS];

// Any other ending signal: the temporary file goes, then the signal ends the
// process as it would have (through the handler there was before, such as
// a sanitizer's).
void on_ending_signal(int signal_number) {
    temp_files_remove_now();
    console_progress_erase_now();
    sigaction(signal_number, &previous_actions[signal_number], nullptr);
    raise(signal_number);
}

// The first stop signal of a run only raises the worker's cancel flag: the
// job decides, at its one point, whether the old list stays. A second one
// ends the program at once, even while the worker blocks on a list file;
// once the run is over, with the run's own status: the list stands. Before
// a run there is nothing to cancel. Only async-signal-safe calls here.
void on_stop_signal(int signal_number) {
    const int finished = finished_status.load();
    worker_t* worker = running_worker.load();
    if (finished < 0 && !worker) return on_ending_signal(signal_number);
    int none = 0;
    if (first_signal.compare_exchange_strong(none, signal_number)) {
        if (worker) worker_cancel_from_signal(worker);
        return;
    }
    temp_files_remove_now();
    console_progress_erase_now();
    _exit(finished >= 0 ? finished : 128 + signal_number);
}

void handle(int signal_number, void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    // No SA_RESTART: nothing the run waits on is restarted behind its back.
    sigemptyset(&action.sa_mask);
    for (int stop : STOP_SIGNALS) sigaddset(&action.sa_mask, stop);
    sigaction(signal_number, &action, &previous_actions[signal_number]);
}

template <typename Each>
void for_each_ending_signal(Each each) {
    for (int signal_number : STOP_SIGNALS) each(signal_number, on_stop_signal);
    for (int signal_number : ENDING_SIGNALS) each(signal_number, on_ending_signal);
    for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX && signal_number < MOST_SIGNALS;
         ++signal_number)
        each(signal_number, on_ending_signal);
    each(SIGPIPE, SIG_IGN);
}

// How often the wait looks for a signal and the progress.
constexpr uint32_t POLL_MILLISECONDS = 50;
// The progress line changes at most four times a second; a run shorter than
// that shows none.
constexpr uint64_t LINE_REFRESH_MS = 250;

struct progress_line_t {
    bool enabled;        // standard error is a terminal
    const char* folder;  // the folder being listed, code page 932
    uint64_t last_draw_ms;
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
    const uint64_t now = os.clock_ms();
    if (!line->enabled || now - line->last_draw_ms < LINE_REFRESH_MS) return;
    line->last_draw_ms = now;
    char text[PROGRESS_TEXT_SIZE];
    format_progress_text(text, line_room(), line->folder, count);
    // Drawn again also when unchanged: a line of the job may have erased it.
    console_progress_draw(text);
}

}  // namespace

bool show_settings_dialog(dialog_param_t*) {
    static const char message[] =
        "scrivlet: 設定ダイアログは Windows 版にだけあります。"
        "scrivlet フォルダ、scrivlet /noui フォルダ 保存ファイル、または /auto フォルダ "
        "で一覧を作成します。\n";
    char text[FORMAT_BUFFER_SIZE];
    utf8_from_cp932(text, sizeof text, message, sizeof message - 1);
    fputs(text, stderr);
    return false;  // ends the run as a cancelled dialog does
}

void console_catch_signals() {
    for_each_ending_signal([](int signal_number, void (*handler)(int)) { handle(signal_number, handler); });
}

bool progress_run(HINSTANCE, worker_t* worker, HICON, const char* folder) {
    first_signal.store(0);
    finished_status.store(-1);
    running_worker.store(worker);

    progress_line_t line = {isatty(STDERR_FILENO) == 1, folder, os.clock_ms()};
    while (os.wait(worker->thread, POLL_MILLISECONDS) == WAIT_TIMEOUT) {
        // The event too, for whatever waits on it.
        if (first_signal.load()) worker_cancel(worker);
        progress_line_update(&line, worker_found(worker));
    }
    console_progress_erase();

    // The signals still caught: one that comes now is too late for the run,
    // which ends as it ended.
    listing_outcome_t ended = {};
    ended.status = (exit_status_t)worker_exit_code(worker, EXIT_NO_MEMORY);
    finished_status.store(app_exit_code(worker, &ended));
    running_worker.store(nullptr);
    return true;
}

bool console_is_terminal() {
    return isatty(STDERR_FILENO) == 1;
}

HICON load_small_app_icon(HINSTANCE) {
    return nullptr;
}

// As a shell reports a program ended by a signal: 128 and its number (130
// for Ctrl+C, 143 for SIGTERM, 129 for SIGHUP) for a run the signal
// cancelled; a run it came too late for ends as the job ended it.
int app_exit_code(worker_t*, const listing_outcome_t* outcome) {
    const int signal_number = first_signal.load();
    if (outcome->status == EXIT_CANCELLED && signal_number) return 128 + signal_number;
    return (int)outcome->status;
}
