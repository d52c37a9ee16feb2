// Running the real listing job on a real folder, as the program does.
#pragma once

#include <string>
#include <vector>

#include "app/settings.h"
#include "listing/listing_job.h"
#include "ui/progress/worker.h"

namespace test {

// Settings for listing `folder` into `output` (full path names off unless
// asked), both program text (user_path_set_text). The paths stay allocated until the test
// program ends, so the record may be copied freely.
settings_t listing_settings(const std::string& folder, const std::string& output, uint32_t flags = 0);
// The same from native paths, whose texts are made as the program makes them.
settings_t listing_settings_native(const std::basic_string<nchar_t>& folder,
                                   const std::basic_string<nchar_t>& output, uint32_t flags = 0);

// Runs listing_job on a worker thread until it ends, as the program does;
// returns its outcome (status EXIT_NO_MEMORY when the worker could not be
// made). `on_created` may keep the worker (to cancel it from an injected call).
listing_outcome_t run_listing(const settings_t& settings, void (*on_created)(worker_t*) = nullptr);

// The list file split into lines; false when a line lacks its CR LF or a lone
// LF or CR appears anywhere.
bool read_lines(const std::string& path, std::vector<std::string>* lines);

// Runs the listing, expects its status, and returns the list's lines,
// expecting each to end in CR LF.
std::vector<std::string> listed_lines(const settings_t& settings, exit_status_t expected = EXIT_LISTED);

// What the message box showed last (caption, text), recorded instead of shown.
struct message_box_record {
    int calls = 0;
    std::string caption;
    std::string text;
};
// Replaces os.message_box with a recorder; os_restore puts it back.
message_box_record* record_message_boxes();

}  // namespace test
