#include "app/report.h"

#include "TOOLS/toolwind/toolwind.h"
#include "text/mbs.h"

namespace {

constexpr char CAPTION[] = "Scrivlet";
constexpr char LIST_FILE_FAILED[] = "ファイルの作成に失敗しました。";
constexpr char TOP_UNREADABLE[] = "フォルダを読み込めませんでした。";
constexpr char NO_MEMORY[] = "メモリなどのシステム資源が足りないため、一覧を作成できませんでした。";
constexpr char OLD_LIST_KEPT[] = "前の一覧はそのままです。";
constexpr char TOO_LATE[] = "一覧を書き出した後だったため、キャンセルしませんでした。";

// The reason in the system's words; a read-only list is the program's own finding.
void reason_of(char* out, size_t out_size, os_error_t error) {
    os.error_reason(error, out, out_size);
}

// The three parts, on lines of their own or on one line.
// out has room for FORMAT_BUFFER_SIZE bytes (a longer text is cut).
void compose(char* out, const char* what, const char* path, const char* reason, const char* after,
             bool one_line) {
    if (one_line) {
        str_format(out, "%s %s (%s)%s%s", what, path, reason, after[0] ? " " : "", after);
    } else {
        str_format(out, "%s\r\n%s\r\n%s%s%s", what, path, reason, after[0] ? "\r\n" : "", after);
    }
}

void tell(const settings_t* settings, const char* box_text, const char* line, unsigned icon) {
    GetTraceProc()("%s\r\n", line);
    if (os.console_line(line) || (settings->run_flags & RUN_QUIET)) return;
    os.message_box(nullptr, box_text, CAPTION, MB_OK | icon);
}

}  // namespace

void format_list_file_failure(char* out, const char* path, const listing_outcome_t* outcome, bool one_line) {
    char reason[256];
    reason_of(reason, sizeof reason, outcome->error);
    compose(out, LIST_FILE_FAILED, path, reason, OLD_LIST_KEPT, one_line);
}

void report_outcome(const settings_t* settings, const listing_outcome_t* outcome) {
    char box[FORMAT_BUFFER_SIZE];
    char line[FORMAT_BUFFER_SIZE];
    char reason[256];
    switch (outcome->failure) {
        case LISTING_FAILURE_NONE:
            if (outcome->cancel_too_late) tell(settings, TOO_LATE, TOO_LATE, MB_ICONINFORMATION);
            return;
        case LISTING_FAILURE_LIST_FILE:
            format_list_file_failure(box, settings->output_file.text, outcome, false);
            format_list_file_failure(line, settings->output_file.text, outcome, true);
            tell(settings, box, line, MB_ICONERROR);
            return;
        case LISTING_FAILURE_TOP_UNREADABLE:
            reason_of(reason, sizeof reason, outcome->error);
            compose(box, TOP_UNREADABLE, settings->folder.text, reason, OLD_LIST_KEPT, false);
            compose(line, TOP_UNREADABLE, settings->folder.text, reason, OLD_LIST_KEPT, true);
            tell(settings, box, line, MB_ICONWARNING);
            return;
        case LISTING_FAILURE_NO_MEMORY:
            reason_of(reason, sizeof reason, outcome->error);
            str_format(box, "%s\r\n(%s)\r\n%s", NO_MEMORY, reason, OLD_LIST_KEPT);
            str_format(line, "%s (%s) %s", NO_MEMORY, reason, OLD_LIST_KEPT);
            tell(settings, box, line, MB_ICONERROR);
            return;
    }
}
