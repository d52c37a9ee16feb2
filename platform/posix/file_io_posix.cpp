// The list file's descriptors on POSIX: the temporary file beside the list
// (O_EXCL, fsync, rename), targets written directly, standard output.
//
// A pipe, a socket or a terminal may block a write (or, for a FIFO, the
// open) for as long as nobody reads. Those are asked with a bounded wait, and
// WOULD_BLOCK goes back to the caller, which looks for a cancel and asks
// again: a Ctrl+C ends such a run at once.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>

#include "platform/posix/calls_posix.h"
#include "platform/posix/descriptor_names_posix.h"
#include "platform/posix/standard_streams_posix.h"
#include "platform/posix/temp_files_posix.h"

struct file_t {
    int descriptor;
    bool owned;     // closed by file_close (standard output is not)
    bool pollable;  // a pipe, a socket or a terminal
    bool synced;    // a plain file of our own: fsync on flush
};

namespace {

// How long one ask of a blocked pipe waits before it says WOULD_BLOCK.
constexpr int BLOCKED_WAIT_MS = 100;

file_t* new_file(int descriptor, bool owned) {
    file_t* file = (file_t*)malloc(sizeof(file_t));
    if (!file) {
        posix_fail(ENOMEM);
        return nullptr;
    }
    struct stat st;
    const bool known = fstat(descriptor, &st) == 0;
    file->descriptor = descriptor;
    file->owned = owned;
    file->pollable = known && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode));
    file->synced = known && S_ISREG(st.st_mode) && owned;
    return file;
}

// The permissions a new file gets here: 0666 less the process's umask, read
// where it can be without changing it (umask() would, for every thread).
mode_t new_file_mode() {
    mode_t mask = 022;
    FILE* status = fopen("/proc/self/status", "re");
    if (status) {
        char line[256];
        unsigned value;
        while (fgets(line, sizeof line, status)) {
            if (sscanf(line, "Umask: %o", &value) == 1) {
                mask = (mode_t)value;
                break;
            }
        }
        fclose(status);
    }
    return 0666 & ~mask;
}

// The ACL and the user's own attributes, where the file system has them.
bool is_copied_attribute(const char* name) {
    return strncmp(name, "user.", 5) == 0 || strcmp(name, "system.posix_acl_access") == 0;
}

void copy_attributes(const char* from, int to) {
    char names[4096];
    const ssize_t length = listxattr(from, names, sizeof names);
    if (length <= 0) return;  // none, or a file system without them
    char value[8192];
    for (const char* name = names; name < names + length; name += strlen(name) + 1) {
        if (!is_copied_attribute(name)) continue;
        const ssize_t size = getxattr(from, name, value, sizeof value);
        if (size >= 0) fsetxattr(to, name, value, (size_t)size, 0);
    }
}

bool write_some(file_t* file, const char* data, size_t size, size_t* done) {
    const ssize_t n = write(file->descriptor, data, size);
    if (n > 0) {
        *done += (size_t)n;
        return true;
    }
    if (n < 0 && errno == EINTR) return true;
    posix_fail(n < 0 ? errno : EIO);
    return false;
}

}  // namespace

file_t* posix_file_create_temp(const char* beside, char** temp_path) {
    static std::atomic<unsigned> counter{0};
    const char* slash = strrchr(beside, '/');
    const size_t folder_length = slash ? (size_t)(slash - beside) + 1 : 0;
    const size_t size = folder_length + 64;
    char* path = (char*)malloc(size);
    if (!path) {
        posix_fail(ENOMEM);
        return nullptr;
    }
    memcpy(path, beside, folder_length);
    snprintf(path + folder_length, size - folder_length, ".scrivlet-%ld-%u.tmp", (long)getpid(),
             counter.fetch_add(1));
    // Only this user may read the list while it is made; it takes its
    // permissions at the end (file_copy_metadata).
    const int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        posix_fail(errno);
        free(path);
        return nullptr;
    }
    file_t* file = new_file(descriptor, true);
    if (!file) {
        close(descriptor);
        unlink(path);
        free(path);
        return nullptr;
    }
    temp_files_note(path);
    *temp_path = path;
    return file;
}

file_t* posix_file_open_direct(const list_target_t* target) {
    const int own = names_own_descriptor(target->path);
    int descriptor;
    if (own >= 0) {
        // Written through the descriptor itself: it keeps its offset and its
        // O_APPEND, so a list appended with >> is appended.
        descriptor = standard_stream_was_closed(own) ? -1 : fcntl(own, F_DUPFD_CLOEXEC, 3);
        if (descriptor < 0) {
            posix_fail(standard_stream_was_closed(own) || errno == EBADF ? EBADF : errno);
            return nullptr;
        }
    } else {
        // Never O_TRUNC: what is there is the user's. A FIFO without a reader
        // answers ENXIO to a non-blocking open: wait a little and say so.
        descriptor = open(target->path, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0) {
            if (errno == ENXIO) {
                poll(nullptr, 0, BLOCKED_WAIT_MS);
                posix_fail(EAGAIN);
            } else {
                posix_fail(errno);
            }
            return nullptr;
        }
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    }
    file_t* file = new_file(descriptor, true);
    if (!file) close(descriptor);
    return file;
}

file_t* posix_file_standard_output() {
    if (standard_stream_was_closed(STDOUT_FILENO)) {
        posix_fail(EBADF);
        return nullptr;
    }
    return new_file(STDOUT_FILENO, false);
}

bool posix_file_copy_metadata(const char* from, file_t* to) {
    struct stat st;
    if (!from) {
        // A new list: the permissions any new file of this user gets.
        st.st_mode = new_file_mode();
        if (fchmod(to->descriptor, st.st_mode) == 0) return true;
        posix_fail(errno);
        return false;
    }
    if (stat(from, &st) != 0) {
        posix_fail(errno);
        return false;
    }
    // Owner and group where this user may set them (root: always; others:
    // a group of their own); never the set-id or sticky bits.
    if (fchown(to->descriptor, st.st_uid, st.st_gid) != 0) fchown(to->descriptor, (uid_t)-1, st.st_gid);
    if (fchmod(to->descriptor, st.st_mode & 0777) != 0) {
        posix_fail(errno);
        return false;
    }
    copy_attributes(from, to->descriptor);
    return true;
}

bool posix_file_identity(file_t* file, folder_identity_t* identity) {
    struct stat st;
    if (fstat(file->descriptor, &st) != 0) {
        posix_fail(errno);
        return false;
    }
    identity->volume = (uint64_t)st.st_dev;
    identity->file = (uint64_t)st.st_ino;
    return true;
}

bool posix_file_write(file_t* file, const void* data, size_t size, size_t* written) {
    const char* bytes = (const char*)data;
    *written = 0;
    while (*written < size) {
        if (!file->pollable) {
            if (!write_some(file, bytes + *written, size - *written, written)) return false;
            continue;
        }
        // POLLOUT on a pipe promises room for PIPE_BUF bytes, no more.
        pollfd ready = {file->descriptor, POLLOUT, 0};
        const int polled = poll(&ready, 1, BLOCKED_WAIT_MS);
        if (polled < 0 && errno != EINTR) {
            posix_fail(errno);
            return false;
        }
        if (polled <= 0) {
            posix_fail(EAGAIN);
            return false;
        }
        if (ready.revents & (POLLERR | POLLHUP | POLLNVAL)) {
            posix_fail(ready.revents & POLLNVAL ? EBADF : EPIPE);
            return false;
        }
        const size_t step = size - *written < PIPE_BUF ? size - *written : PIPE_BUF;
        if (!write_some(file, bytes + *written, step, written)) return false;
    }
    return true;
}

bool posix_file_flush(file_t* file) {
    if (file->synced && fsync(file->descriptor) != 0) {
        posix_fail(errno);
        return false;
    }
    return true;
}

bool posix_file_close(file_t* file) {
    bool closed = true;
    if (file->owned && close(file->descriptor) != 0 && errno != EINTR) {
        posix_fail(errno);
        closed = false;
    }
    free(file);
    return closed;
}

bool posix_file_replace(const char* from, const char* to) {
    if (rename(from, to) != 0) {
        posix_fail(errno);
        return false;
    }
    temp_files_forget(from);
    return true;
}

bool posix_file_remove(const char* path) {
    const bool removed = unlink(path) == 0;
    if (!removed) posix_fail(errno);
    temp_files_forget(path);
    return removed;
}
