#include "support/listing_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include "support/test_support.h"

namespace test {

namespace {
message_box_record last_message_box;

int recording_message_box(HWND, const char* text, const char* caption, unsigned) {
    ++last_message_box.calls;
    last_message_box.caption = caption ? caption : "";
    last_message_box.text = text ? text : "";
    return IDOK;
}
}  // namespace

namespace {

// Every path block made here stays reachable until the program ends.
void keep(const user_path_t& path) {
    keep_until_exit(path.native);
    keep_until_exit(path.text);
}

}  // namespace

settings_t listing_settings(const std::string& folder, const std::string& output, uint32_t flags) {
    settings_t s;
    settings_init(&s);
    user_path_set_text(&s.folder, folder.c_str());
    user_path_set_text(&s.output_file, output.c_str());
    keep(s.folder);
    keep(s.output_file);
    s.flags = flags;
    return s;
}

settings_t listing_settings_native(const std::basic_string<nchar_t>& folder,
                                   const std::basic_string<nchar_t>& output, uint32_t flags) {
    settings_t s;
    settings_init(&s);
    user_path_set(&s.folder, folder.c_str());
    user_path_set(&s.output_file, output.c_str());
    keep(s.folder);
    keep(s.output_file);
    s.flags = flags;
    return s;
}

listing_outcome_t run_listing(const settings_t& settings, void (*on_created)(worker_t*)) {
    listing_run_t run = {};
    run.settings = &settings;
    worker_t* worker = worker_create(&run);
    if (!worker) {
        run.outcome.status = EXIT_NO_MEMORY;
        run.outcome.failure = LISTING_FAILURE_NO_MEMORY;
        run.outcome.error = os_last_error();
        return run.outcome;
    }
    if (on_created) on_created(worker);
    worker_start(worker);
    // The test's own wait: a row a test replaces must not stop it.
    os_default.wait(worker->thread, INFINITE);
    worker_release(worker);
    return run.outcome;
}

bool read_lines(const std::string& path, std::vector<std::string>* lines) {
    std::string bytes;
    lines->clear();
    if (!read_file(path, &bytes)) return false;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) return false;
        std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos) return false;
        lines->push_back(line);
        start = end + 2;
    }
    return true;
}

message_box_record* record_message_boxes() {
    last_message_box = message_box_record();
    os.message_box = recording_message_box;
    return &last_message_box;
}

std::vector<std::string> listed_lines(const settings_t& settings, exit_status_t expected) {
    EXPECT_EQ(run_listing(settings).status, expected);
    std::vector<std::string> lines;
    EXPECT_TRUE(read_lines(settings.output_file.text, &lines)) << "one entry a line, each ending in CR LF";
    return lines;
}

}  // namespace test
