#include "support/test_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "text/mbs.h"

namespace test {

namespace {

#ifdef _WIN32
std::string native_path(const std::string& path) {
    return path;
}
#else
// The program's text (code page 932, "\" separators) as a POSIX path.
std::string native_path(const std::string& path) {
    return native(path);
}
#endif

std::string unique_name() {
    static std::mt19937_64 rng(std::random_device{}());
    char name[64];
    snprintf(name, sizeof name, "scrivlet-test-%016llx", (unsigned long long)rng());
    return name;
}

#ifdef _WIN32
// Removed by the test's own wide calls in the "\\?\" form, so that names
// outside the code page and paths longer than MAX_PATH go too. Never through
// cmd: Wine's "rmdir /s" on a tree deeper than MAX_PATH once went on to
// remove the process's current folder.
bool remove_wide(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    bool removed = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            const DWORD attributes = found.dwFileAttributes;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                removed = remove_wide(child) && removed;
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                removed = RemoveDirectoryW(child.c_str()) && removed;
            } else {
                removed = DeleteFileW(child.c_str()) && removed;
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(path.c_str()) && removed;
}

void remove_tree(const std::string& path) {
    if (!remove_wide(L"\\\\?\\" + native(path))) fprintf(stderr, "could not remove %s\n", path.c_str());
}
#else
void remove_tree(const std::string& native) {
    std::error_code error;  // links are removed, never followed
    std::filesystem::remove_all(native, error);
    if (error) fprintf(stderr, "could not remove %s\n", native.c_str());
}
#endif

}  // namespace

temp_dir::temp_dir() {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    path_ = std::string(base) + unique_name();
#else
    const char* base = getenv("TMPDIR");
    path_ = std::string(base && *base ? base : "/tmp") + "/" + unique_name();
#endif
    make_folder(path_);
}

temp_dir::~temp_dir() {
    remove_tree(native_path(path_));
}

std::string temp_dir::join(const std::string& relative) const {
    return path_ + "\\" + relative;
}

void make_folder(const std::string& path) {
#ifdef _WIN32
    _mkdir(path.c_str());
#else
    mkdir(native_path(path).c_str(), 0755);
#endif
}

void write_file(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(native_path(path).c_str(), "wb");
    if (!file) {
        fprintf(stderr, "could not create %s\n", path.c_str());
        return;
    }
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

bool read_file(const std::string& path, std::string* bytes) {
    FILE* file = fopen(native_path(path).c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, n);
    fclose(file);
    return true;
}

bool file_exists(const std::string& path) {
    FILE* file = fopen(native_path(path).c_str(), "rb");
    if (file) fclose(file);
    return file != nullptr;
}

#ifdef _WIN32
void settle_access_times(const std::string& path) {
    // Past the file system's clock tick, so that the reads below are later
    // than the last change and the next read leaves the time alone.
    Sleep(50);
    size_t end = 0;
    do {
        end = path.find('\\', end + 1);
        const std::string pattern = path.substr(0, end) + "\\*";  // "C:\*" first
        WIN32_FIND_DATAA entry;
        const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) continue;
        while (FindNextFileA(search, &entry)) {
        }
        FindClose(search);
    } while (end != std::string::npos);
}
#endif

void keep_until_exit(const void* block) {
    // Never destroyed: the leak check runs after static destructors.
    static std::vector<const void*>* kept = new std::vector<const void*>;
    kept->push_back(block);
}

std::basic_string<nchar_t> native(const std::string& text) {
    const size_t length = native_from_text(nullptr, 0, text.c_str());
    std::basic_string<nchar_t> result(length + 1, 0);
    native_from_text(&result[0], length + 1, text.c_str());
    result.resize(length);
    return result;
}

std::string text(const std::basic_string<nchar_t>& native) {
    const size_t length = text_from_native(nullptr, 0, native.c_str(), native.size(), TEXT_PATH);
    std::string result(length + 1, '\0');
    text_from_native(&result[0], length + 1, native.c_str(), native.size(), TEXT_PATH);
    result.resize(length);
    return result;
}

}  // namespace test
