// The command-line program has no windows: where the Windows program shows
// its settings dialog this one says how to run unattended, and where it shows
// the progress window this one waits for the worker, with Ctrl+C as cancel.
#include <signal.h>
#include <stdio.h>

#include "app/app_main.h"
#include "platform/posix/codepage_posix.h"
#include "ui/progress/progress_window.h"
#include "ui/settings/settings_dialog.h"

namespace {

volatile sig_atomic_t interrupted = 0;

void on_interrupt(int) {
    interrupted = 1;
}

// How often the wait looks for Ctrl+C, as the progress window's timer polls.
constexpr DWORD POLL_MILLISECONDS = 50;

}  // namespace

bool show_settings_dialog(dialog_param_t*) {
    char line[FORMAT_BUFFER_SIZE];
    utf8_from_cp932(line, sizeof line,
                    "scrivlet: 設定ダイアログは Windows 版にだけあります。"
                    "/noui フォルダ 出力ファイル、または /auto フォルダ で一覧を作成します。\n");
    fputs(line, stderr);
    return false;  // ends the run as a cancelled dialog does
}

bool progress_run(HINSTANCE, worker_t* worker, HICON) {
    struct sigaction action = {};
    struct sigaction previous;
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    while (os.WaitForSingleObject(worker->thread, POLL_MILLISECONDS) == WAIT_TIMEOUT) {
        if (interrupted) worker_cancel(worker);
    }
    sigaction(SIGINT, &previous, nullptr);
    return true;
}

HICON load_small_app_icon(HINSTANCE) {
    return nullptr;
}

int app_exit_code(worker_t* worker) {
    return (int)worker_exit_code(worker, 0);
}
