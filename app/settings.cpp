#include "app/settings.h"

#include "app/file_tests.h"

void list_options_init(list_options_t* options) {
    mem_zero(options, sizeof *options);
    options->only = ONLY_ALL;
    options->order = ORDER_NAME;
    options->format = FORMAT_LIST;
    options->line_end = LINE_END_CRLF;
    options->separator = '\\';
}

void settings_init(settings_t* s) {
    mem_zero(s, sizeof *s);
    s->flags = FLAG_FULL_PATH;
    s->case_mode = CASE_UNCHANGED;
    s->filter_kind = FILTER_NONE;
    list_options_init(&s->list);
    user_path_init(&s->folder);
    user_path_init(&s->output_file);
}

void settings_free(settings_t* s) {
    user_path_free(&s->folder);
    user_path_free(&s->output_file);
    settings_init(s);
}

bool settings_valid(const settings_t* s) {
    return is_existing_folder(s->folder.native) && !user_path_is_empty(&s->output_file);
}
