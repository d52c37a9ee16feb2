// The folder row's automatic name.
#include "ui/settings/auto_names.h"

#include "text/mbs.h"

namespace {

constexpr size_t NO_POSITION = (size_t)-1;

// A backslash of code page 932 text is a separator only where it is no
// second byte of a double-byte character; in wide text every one is.
bool is_sep_at(const std::string& text, size_t i) {
    return path_is_sep_at(text.c_str(), i);
}
bool is_sep_at(const std::wstring& text, size_t i) {
    return text[i] == L'\\';
}

template <class Text>
size_t last_sep(const Text& text) {
    for (size_t i = text.size(); i-- > 0;) {
        if (is_sep_at(text, i)) return i;
    }
    return NO_POSITION;
}

template <class Text>
Text folder_name(const Text& output) {
    const size_t sep = last_sep(output);
    Text folder = sep == NO_POSITION ? output : output.substr(0, sep);
    // An empty folder part stays empty; any other gets its closing backslash.
    if (!folder.empty() && !is_sep_at(folder, folder.size() - 1)) folder.push_back('\\');
    return folder;
}

}  // namespace

std::string folder_name_from_output(const std::string& output) {
    return folder_name(output);
}
std::wstring folder_name_from_output(const std::wstring& output) {
    return folder_name(output);
}

void make_folder_name_from_output(const char* output, char* out) {
    const std::string folder = folder_name(std::string(output));
    str_copy_bounded(out, folder.c_str(), PATH_BUFFER_SIZE);
}
