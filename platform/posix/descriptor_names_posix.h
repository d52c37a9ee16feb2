// Paths that name a descriptor of this process: /dev/fd/N, /proc/self/fd/N,
// /proc/thread-self/fd/N and /proc/PID/fd/N with this process's PID.
#pragma once

// N, or -1 when the path names no descriptor.
int names_own_descriptor(const char* path);
