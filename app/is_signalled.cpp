#include "app/is_signalled.h"

bool is_signalled(HANDLE handle) {
    return os.WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
}
