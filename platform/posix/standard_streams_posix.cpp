#include "platform/posix/standard_streams_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool closed_at_start[3];

}  // namespace

void standard_streams_open_closed() {
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        closed_at_start[descriptor] = true;
        // The lowest free descriptor is this one.
        open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    }
}

bool standard_stream_was_closed(int descriptor) {
    return descriptor >= 0 && descriptor < 3 && closed_at_start[descriptor];
}
