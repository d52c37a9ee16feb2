#include "app/file_tests.h"

#include "platform/platform.h"

bool is_existing_folder(const nchar_t* path) {
    const DWORD attributes = os.file_attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool path_exists(const nchar_t* path) {
    return os.file_attributes(path) != INVALID_FILE_ATTRIBUTES;
}
