#include "ui/settings/settings_dialog.h"

void dialog_param_init(dialog_param_t* param) {
    mem_zero(param, sizeof *param);
    user_path_init(&param->folder);
    user_path_init(&param->output_file);
    list_options_init(&param->list);
}

void dialog_param_free(dialog_param_t* param) {
    user_path_free(&param->folder);
    user_path_free(&param->output_file);
}
