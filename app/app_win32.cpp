// The parts of the main flow that only the Windows program has.
#include "app/app_main.h"
#include "res/resource.h"

HICON load_small_app_icon(HINSTANCE instance) {
    return (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
}

// The Windows program always ends with 0 after a run; a failed list write
// has been shown to the user in its message box.
int app_exit_code(worker_t*) {
    return 0;
}
