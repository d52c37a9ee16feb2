// The in-memory template of the progress window: a hidden 1 x 1 popup with
// one default button (TOOLS/toolwind/dialog_template.h builds it).
#pragma once

#include "TOOLS/toolwind/dialog_template.h"

// The description; button must have room for one control.
void progress_template_describe(dlg_template_desc_t* dialog, dlg_item_desc_t* button);
// Its template, as dlg_template_build gives it.
void* progress_template_build();
