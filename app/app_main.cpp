#include "app/app_main.h"

#include "app/command_line.h"
#include "app/file_tests.h"
#include "app/platform_rules.h"
#include "app/report.h"
#include "app/usage.h"
#include "ui/progress/progress_window.h"
#include "ui/settings/settings_dialog.h"

namespace {

// The dialog gets copies of the paths; only an OK moves its record back.
bool settings_to_dialog(const settings_t* s, dialog_param_t* d) {
    dialog_param_init(d);
    str_copy_bounded(d->filter_text, s->filter_text, sizeof d->filter_text);
    d->filter_kind = s->filter_kind;
    d->flags = s->flags;
    d->case_mode = s->case_mode;
    d->list = s->list;
    return user_path_copy(&d->folder, &s->folder) && user_path_copy(&d->output_file, &s->output_file);
}

void dialog_to_settings(dialog_param_t* d, settings_t* s) {
    user_path_move(&s->folder, &d->folder);
    str_copy_bounded(s->filter_text, d->filter_text, sizeof s->filter_text);
    s->filter_kind = d->filter_kind;
    s->flags = d->flags;
    s->case_mode = d->case_mode;
    s->list = d->list;
    user_path_move(&s->output_file, &d->output_file);
}

// Why the command line gives no run: refused, or short of a folder or a
// list file.
command_problem_t refusal_reason(const settings_t* s, const command_line_t* line) {
    if (line->problem != PROBLEM_NONE) return line->problem;
    if (!is_existing_folder(s->folder.native)) return PROBLEM_NO_FOLDER;
    return PROBLEM_NO_OUTPUT;
}

// Without a dialog, why the settings cannot be used, first reason first.
command_problem_t unusable_reason(const settings_t* s, const command_line_t* line) {
    if (line->problem == PROBLEM_NONE && line->dialog_wanted) return PROBLEM_NO_DIALOG;
    return refusal_reason(s, line);
}

// The box of the dialog that the reason points at.
int32_t box_of(command_problem_t problem) {
    switch (problem) {
        case PROBLEM_NO_FOLDER:
            return DIALOG_BOX_FOLDER;
        case PROBLEM_NO_OUTPUT:
        case PROBLEM_AUTO_TAKEN:
        case PROBLEM_AUTO_ROOT:
            return DIALOG_BOX_OUTPUT;
        default:
            return DIALOG_BOX_NONE;
    }
}

}  // namespace

bool prepare_settings(settings_t* s, int count, const char* const* args, const nchar_t* const* native,
                      int* exit_code) {
    settings_init(s);
    command_line_t line;
    read_command_line(s, count, args, native, &line);
    *exit_code = 0;
    if (line.problem == PROBLEM_UNKNOWN_OPTION) {
        report_unusable_command_line(PROBLEM_UNKNOWN_OPTION, line.refused, s->folder.text);
        *exit_code = EXIT_COMMAND_LINE;
        return false;
    }
    if (line.help) {
        if (!show_usage()) *exit_code = EXIT_COMMAND_LINE;
        return false;
    }
    if (line.version) {
        if (!show_version()) *exit_code = EXIT_COMMAND_LINE;
        return false;
    }

    // Without a dialog there is nothing to wait for: a usable command line
    // runs, and a folder alone is listed on standard output, as a command of
    // the shell would.
    if (!HAS_SETTINGS_DIALOG && line.problem == PROBLEM_NONE && is_existing_folder(s->folder.native)) {
        if (!line.output_named && user_path_is_empty(&s->output_file)) {
            user_path_set_text(&s->output_file, STANDARD_OUTPUT_NAME);
        }
        line.dialog_wanted = false;
    }
    const bool usable = line.problem == PROBLEM_NONE && settings_valid(s);
    if (line.dialog_wanted || !usable) {
        if (!HAS_SETTINGS_DIALOG) {
            report_unusable_command_line(unusable_reason(s, &line), line.refused, s->folder.text);
            *exit_code = EXIT_COMMAND_LINE;
            return false;
        }
        // A command line that was refused, or that asked for a run it cannot
        // give, opens the dialog saying why; cancelled, it ends as such a
        // command line ends where there is no dialog.
        const bool refused = line.problem != PROBLEM_NONE || (line.unattended && !usable);
        char reason[FORMAT_BUFFER_SIZE] = "";
        dialog_param_t param;
        bool shown = settings_to_dialog(s, &param);
        if (refused) {
            const command_problem_t problem = refusal_reason(s, &line);
            describe_unusable_command_line(reason, problem, line.refused, s->folder.text);
            param.problem = reason;
            param.problem_box = box_of(problem);
        }
        shown = shown && show_settings_dialog(&param);
        if (shown) {
            dialog_to_settings(&param, s);
            s->run_flags |= RUN_FROM_DIALOG;
        }
        dialog_param_free(&param);
        if (!shown) {
            if (refused) *exit_code = EXIT_COMMAND_LINE;
            return false;
        }
    }
    return settings_valid(s);
}

int app_main(HINSTANCE instance, int count, const char* const* args, const nchar_t* const* native) {
    settings_t settings;
    int exit_code = 0;
    if (!prepare_settings(&settings, count, args, native, &exit_code)) {
        settings_free(&settings);
        return exit_code;  // cancelled, or nothing to run: no beep
    }

    listing_run_t run = {};
    run.settings = &settings;
    worker_t* worker = worker_create(&run);
    if (worker) {
        worker_start(worker);
        progress_run(instance, worker, load_small_app_icon(instance), settings.folder.text);
        exit_code = app_exit_code(worker, &run.outcome);
        worker_release(worker);
    } else {
        // No thread or no event for the run: nothing was listed.
        run.outcome.status = EXIT_NO_MEMORY;
        run.outcome.failure = LISTING_FAILURE_NO_MEMORY;
        run.outcome.error = os_last_error();
        exit_code = EXIT_NO_MEMORY;
    }
    report_outcome(&settings, &run.outcome, console_is_terminal());
    if (!(settings.run_flags & RUN_QUIET)) os.beep(0xFFFFFFFF);
    settings_free(&settings);
    return exit_code;
}
