#include "app/app_main.h"

#include "app/command_line.h"
#include "ui/progress/progress_window.h"
#include "ui/settings/settings_dialog.h"

namespace {

void settings_to_dialog(const settings_t* s, dialog_param_t* d) {
    mem_zero(d, sizeof *d);
    str_copy_bounded(d->folder, s->folder, sizeof d->folder);
    str_copy_bounded(d->filter_text, s->filter_text, sizeof d->filter_text);
    d->filter_kind = s->filter_kind;
    d->flags = s->flags;
    d->case_mode = s->case_mode;
    str_copy_bounded(d->output_file, s->output_file, sizeof d->output_file);
}

void dialog_to_settings(const dialog_param_t* d, settings_t* s) {
    str_copy_bounded(s->folder, d->folder, sizeof s->folder);
    str_copy_bounded(s->filter_text, d->filter_text, sizeof s->filter_text);
    s->filter_kind = d->filter_kind;
    s->flags = d->flags;
    s->case_mode = d->case_mode;
    str_copy_bounded(s->output_file, d->output_file, sizeof s->output_file);
}

}  // namespace

bool prepare_settings(settings_t* s, int count, const char* const* args) {
    settings_init(s);
    const bool wanted = parse_command_line(s, count, args);
    if (wanted || !settings_valid(s)) {
        dialog_param_t param;
        settings_to_dialog(s, &param);
        if (!show_settings_dialog(&param)) return false;
        dialog_to_settings(&param, s);
    }
    return settings_valid(s);
}

int app_main(HINSTANCE instance, int count, const char* const* args) {
    settings_t settings;
    if (!prepare_settings(&settings, count, args)) return 0;  // cancelled: no beep

    int exit_code = 0;
    worker_t* worker = worker_create(&settings);
    if (worker) {
        worker_start(worker);
        progress_run(instance, worker, load_small_app_icon(instance));
        exit_code = app_exit_code(worker);
        worker_release(worker);
    }
    os.MessageBeep(0xFFFFFFFF);
    return exit_code;
}
