#include "ui/progress/progress_template.h"

namespace {

// Style bits used here; values as in the platform's headers, which this
// portable file does not include.
constexpr uint32_t STYLE_POPUP = 0x80000000;           // WS_POPUP
constexpr uint32_t STYLE_CHILD = 0x40000000;           // WS_CHILD
constexpr uint32_t STYLE_GROUP = 0x00020000;           // WS_GROUP
constexpr uint32_t STYLE_SET_FONT = 0x00000040;        // DS_SETFONT
constexpr uint32_t STYLE_DEFAULT_BUTTON = 0x00000001;  // BS_DEFPUSHBUTTON

}  // namespace

void progress_template_describe(dlg_template_desc_t* dialog, dlg_item_desc_t* button) {
    *dialog = dlg_template_desc_t{};
    dialog->style = STYLE_POPUP | STYLE_SET_FONT;  // never WS_VISIBLE: the window stays hidden
    dialog->item_count = 1;
    dialog->cx = 1;
    dialog->cy = 1;
    dialog->font_name = DLG_FONT_NAME;
    dialog->point_size = DLG_FONT_POINTS;

    *button = dlg_item_desc_t{};
    button->class_name = dlg_ordinal(DLG_CLASS_BUTTON);
    button->title = dlg_string(u"OK");
    button->style = STYLE_CHILD | STYLE_GROUP | STYLE_DEFAULT_BUTTON;
    button->cx = 1;
    button->cy = 1;
    button->id = 1;
}

void* progress_template_build() {
    dlg_template_desc_t dialog;
    dlg_item_desc_t button;
    progress_template_describe(&dialog, &button);
    return dlg_template_build(&dialog, &button);
}
