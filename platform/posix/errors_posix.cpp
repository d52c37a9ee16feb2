// errno in the program's words: the one place the POSIX build translates it.
#include <errno.h>

#include "platform/posix/calls_posix.h"

os_error_code_t posix_error_code(int error) {
    switch (error) {
        case 0:
            return OS_ERROR_NONE;
        case ENOMEM:
            return OS_ERROR_NO_MEMORY;
        case EMFILE:
        case ENFILE:
            return OS_ERROR_NO_DESCRIPTORS;
        case EACCES:
        case EPERM:
            return OS_ERROR_ACCESS_DENIED;
        case ENOENT:
            return OS_ERROR_NOT_FOUND;
        case ENOTDIR:
            return OS_ERROR_NOT_A_FOLDER;
        case EISDIR:
            return OS_ERROR_IS_A_FOLDER;
        case EROFS:
            return OS_ERROR_READ_ONLY;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return OS_ERROR_NO_SPACE;
        case EIO:
            return OS_ERROR_IO;
        case ENAMETOOLONG:
            return OS_ERROR_NAME_TOO_LONG;
        case ELOOP:
            return OS_ERROR_LINK_LOOP;
        case EEXIST:
            return OS_ERROR_EXISTS;
        case EBUSY:
        case ETXTBSY:
            return OS_ERROR_BUSY;
        case EPIPE:
        case EBADF:
            return OS_ERROR_CLOSED;
        case EAGAIN:
            return OS_ERROR_WOULD_BLOCK;
        case EINVAL:
        case EILSEQ:
            return OS_ERROR_INVALID;
        default:
            return OS_ERROR_OTHER;
    }
}

void posix_fail(int error) {
    os_set_last_error(posix_error_code(error), (uint32_t)error);
}
