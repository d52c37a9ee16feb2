// The parts of the main flow that only the Windows program has.
#include "app/app_main.h"
#include "listing/listing_job.h"
#include "res/resource.h"

// The program's own icon at the size the notification area shows (16 x 16
// at 96 DPI; the icon file holds 16, 24, 32 and 48 pixels, so a larger
// setting gets a picture drawn for it rather than a stretched one).
HICON load_small_app_icon(HINSTANCE instance) {
    return (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
}

// The job's status, as the Linux program ends. A cancel from the tray menu
// after the list was replaced changes nothing: the job says so. When the
// progress window could not watch the worker, the worker is stopped here,
// which makes it a cancelled run.
int app_exit_code(worker_t* worker, const listing_outcome_t* outcome) {
    worker_stop(worker);
    return worker_is_finished(worker) ? (int)outcome->status : (int)EXIT_CANCELLED;
}

// The Windows program tells its summary in a box, after a run from the dialog.
bool console_is_terminal() {
    return false;
}
