// The error vocabulary's names and messages, and the last error of each thread.
#include "platform/os_error.h"

namespace {

const char* const NAMES[] = {
#define OS_ERROR_NAME(name, message) #name,
    OS_ERRORS(OS_ERROR_NAME)
#undef OS_ERROR_NAME
};

const char* const MESSAGES[] = {
#define OS_ERROR_MESSAGE(name, message) message,
    OS_ERRORS(OS_ERROR_MESSAGE)
#undef OS_ERROR_MESSAGE
};

thread_local os_error_t last_error = OS_NO_ERROR;

}  // namespace

const char* os_error_name(os_error_code_t code) {
    return code >= 0 && code < OS_ERROR_COUNT ? NAMES[code] : NAMES[OS_ERROR_OTHER];
}

const char* os_error_message(os_error_code_t code) {
    return code >= 0 && code < OS_ERROR_COUNT ? MESSAGES[code] : MESSAGES[OS_ERROR_OTHER];
}

os_error_t os_last_error() {
    return last_error;
}

void os_set_last_error(os_error_t error) {
    last_error = error;
}
