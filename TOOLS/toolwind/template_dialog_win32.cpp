// Modal dialogs from templates built in memory (TOOLS/toolwind/dialog_template.h).
#include <stdlib.h>

#include "TOOLS/toolwind/window_helpers.h"

INT_PTR DialogBoxFromDescription(HINSTANCE instance, const dlg_template_desc_t* desc,
                                 const dlg_item_desc_t* items, HWND owner, DLGPROC proc, LPARAM param) {
    void* block = dlg_template_build(desc, items);
    if (!block) return -1;
    // The wide form: the template's texts are UTF-16 already.
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, static_cast<LPCDLGTEMPLATEW>(block), owner, proc, param);
    free(block);
    return result;
}
