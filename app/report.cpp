#include "app/report.h"

#include <stdio.h>
#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "text/mbs.h"

namespace {

constexpr char CAPTION[] = "Scrivlet";
constexpr char LIST_FILE_FAILED[] = "ファイルの作成に失敗しました。";
constexpr char TOP_UNREADABLE[] = "フォルダを読み込めませんでした。";
constexpr char NO_MEMORY[] = "メモリなどのシステム資源が足りないため、一覧を作成できませんでした。";
constexpr char OLD_LIST_KEPT[] = "前の一覧はそのままです。";
constexpr char TOO_LATE[] = "一覧を書き出した後だったため、キャンセルしませんでした。";

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

// 12345 as "12,345".
void grouped(char* out, uint64_t value) {
    char digits[32];
    snprintf(digits, sizeof digits, "%llu", (unsigned long long)value);
    const size_t length = strlen(digits);
    char* p = out;
    for (size_t i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0) *p++ = ',';
        *p++ = digits[i];
    }
    *p = '\0';
}

void summarize(const settings_t* settings, const listing_outcome_t* outcome, bool terminal) {
    char folders[32], files[32], replaced[32], unreadable[32];
    grouped(folders, outcome->folders);
    grouped(files, outcome->files);
    grouped(replaced, outcome->replaced);
    grouped(unreadable, outcome->unreadable);
    char line[FORMAT_BUFFER_SIZE];
    int length = str_format(line, "フォルダ %s 件、ファイル %s 件を書き出しました。", folders, files);
    if (outcome->replaced) {
        length += str_format(
            line + length,
            " 名前 %s 件で、コードページ 932 にない文字を ? にしました (/utf8 ならそのまま書き出します)。",
            replaced);
    }
    if (outcome->unreadable) str_format(line + length, " 読み込めなかったフォルダ: %s 件。", unreadable);
    GetTraceProc()("%s\r\n", line);
    if (terminal || (settings->run_flags & RUN_SUMMARY)) {
        os.console_line(line);
        return;
    }
    // A run from the dialog has somebody watching: a box, when there is
    // something to heed. An unattended run (/noui, /auto) shows none.
    const bool worth_a_box = outcome->replaced || outcome->unreadable;
    if (!(settings->run_flags & RUN_FROM_DIALOG) || (settings->run_flags & RUN_QUIET) || !worth_a_box) return;
    char box[FORMAT_BUFFER_SIZE];
    length = str_format(box, "一覧を書き出しました。");
    if (outcome->replaced) {
        length += str_format(box + length,
                             "\r\n\r\n名前 %s 件で、コードページ 932 にない文字を ? にしました。"
                             "「UTF-8 で出力」にすると、名前をそのまま書き出します。",
                             replaced);
    }
    if (outcome->unreadable) {
        str_format(box + length,
                   "\r\n\r\n読み込めなかったフォルダが %s 件あります (トレースに出しています)。", unreadable);
    }
    os.message_box(nullptr, box, CAPTION,
                   MB_OK | (outcome->unreadable ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace

void format_list_file_failure(char* out, const char* path, const listing_outcome_t* outcome, bool one_line) {
    char reason[256];
    os.error_reason(outcome->error, reason, sizeof reason);
    compose(out, LIST_FILE_FAILED, path, reason, OLD_LIST_KEPT, one_line);
}

void report_outcome(const settings_t* settings, const listing_outcome_t* outcome, bool terminal) {
    char box[FORMAT_BUFFER_SIZE];
    char line[FORMAT_BUFFER_SIZE];
    char reason[256];
    switch (outcome->failure) {
        case LISTING_FAILURE_NONE:
            if (outcome->cancel_too_late) tell(settings, TOO_LATE, TOO_LATE, MB_ICONINFORMATION);
            if (outcome->status == EXIT_LISTED || outcome->status == EXIT_INCOMPLETE) {
                summarize(settings, outcome, terminal);
            }
            return;
        case LISTING_FAILURE_LIST_FILE:
            format_list_file_failure(box, settings->output_file.text, outcome, false);
            format_list_file_failure(line, settings->output_file.text, outcome, true);
            tell(settings, box, line, MB_ICONERROR);
            return;
        case LISTING_FAILURE_TOP_UNREADABLE:
            os.error_reason(outcome->error, reason, sizeof reason);
            compose(box, TOP_UNREADABLE, settings->folder.text, reason, OLD_LIST_KEPT, false);
            compose(line, TOP_UNREADABLE, settings->folder.text, reason, OLD_LIST_KEPT, true);
            tell(settings, box, line, MB_ICONWARNING);
            return;
        case LISTING_FAILURE_NO_MEMORY:
            os.error_reason(outcome->error, reason, sizeof reason);
            str_format(box, "%s\r\n(%s)\r\n%s", NO_MEMORY, reason, OLD_LIST_KEPT);
            str_format(line, "%s (%s) %s", NO_MEMORY, reason, OLD_LIST_KEPT);
            tell(settings, box, line, MB_ICONERROR);
            return;
    }
}
