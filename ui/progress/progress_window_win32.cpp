// Until the progress window with its notification-area icon exists, the
// user-interface thread simply waits for the worker.
#include "ui/progress/progress_window.h"

bool progress_run(HINSTANCE, worker_t* worker, HICON) {
    return os.WaitForSingleObject(worker->thread, INFINITE) == WAIT_OBJECT_0;
}
