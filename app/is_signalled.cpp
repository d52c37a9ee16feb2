#include "app/is_signalled.h"

bool is_signalled(HANDLE handle) {
    return os.wait(handle, 0) == WAIT_OBJECT_0;
}
