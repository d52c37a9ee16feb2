#include "app/file_tests.h"

#include "platform/platform.h"

bool is_existing_folder(const char* path) {
    const DWORD attributes = os.GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool path_exists(const char* path) {
    return os.GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
