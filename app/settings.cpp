#include "app/settings.h"

#include "app/file_tests.h"

void settings_init(settings_t* s) {
    mem_zero(s, sizeof *s);
    s->flags = FLAG_FULL_PATH;
    s->case_mode = CASE_UNCHANGED;
    s->filter_kind = FILTER_NONE;
}

bool settings_valid(const settings_t* s) {
    return is_existing_folder(s->folder) && s->output_file[0] != '\0';
}
