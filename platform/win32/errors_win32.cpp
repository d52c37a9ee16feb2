// Win32 error codes in the program's words: the one place the Windows build
// translates them.
#include <windows.h>

#include "platform/win32/calls_win32.h"

os_error_code_t win32_error_code(DWORD error) {
    switch (error) {
        case ERROR_SUCCESS:
            return OS_ERROR_NONE;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
        case ERROR_NO_SYSTEM_RESOURCES:
            return OS_ERROR_NO_MEMORY;
        case ERROR_TOO_MANY_OPEN_FILES:
            return OS_ERROR_NO_DESCRIPTORS;
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return OS_ERROR_ACCESS_DENIED;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_DRIVE:
            return OS_ERROR_NOT_FOUND;
        case ERROR_DIRECTORY:
            return OS_ERROR_NOT_A_FOLDER;
        case ERROR_WRITE_PROTECT:
            return OS_ERROR_READ_ONLY;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return OS_ERROR_NO_SPACE;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return OS_ERROR_NAME_TOO_LONG;
        case ERROR_CANT_RESOLVE_FILENAME:
        case ERROR_CANT_ACCESS_FILE:
            return OS_ERROR_LINK_LOOP;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return OS_ERROR_EXISTS;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_BUSY:
            return OS_ERROR_BUSY;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
        case ERROR_INVALID_HANDLE:
            return OS_ERROR_CLOSED;
        case ERROR_PIPE_BUSY:
            return OS_ERROR_WOULD_BLOCK;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
        case ERROR_BAD_PATHNAME:
            return OS_ERROR_INVALID;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return OS_ERROR_IO;
        default:
            return OS_ERROR_OTHER;
    }
}

void win32_fail(DWORD error) {
    os_set_last_error(win32_error_code(error), (uint32_t)error);
}
