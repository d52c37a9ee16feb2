// Polls a waitable kernel object (an event or a thread) without blocking.
#pragma once

#include "platform/platform.h"

// True only when the object is signalled now. A time-out, an abandoned object
// or a failed wait (a bad handle) all read as "not signalled".
bool is_signalled(HANDLE handle);
