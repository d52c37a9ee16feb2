#include "app/usage.h"

#include <string.h>

#include "app/platform_rules.h"
#include "text/mbs.h"

namespace {

#ifdef _WIN32
#define PROGRAM_NAME "Scrivlet.exe"
#else
#define PROGRAM_NAME "scrivlet"
#endif

// The Linux program has dash options and ends on two more signals.
const char USAGE_COMMON[] =
    "使い方: " PROGRAM_NAME
    " [スイッチ] [フォルダ] [出力ファイル]\n"
    "\n"
    "  /noui            設定ダイアログを開かずに一覧を作成します\n"
    "  /auto            出力ファイル名をフォルダ名から作ります\n"
    "                   (フォルダ.txt、使用中ならフォルダ(0).txt ～ フォルダ(9).txt)\n"
    "  /sub:1, /sub:0   サブフォルダのファイルも列挙する / しない\n"
    "  /full, /rel      フルパス名で出力 / フォルダからの相対名で出力\n"
    "  /short           短いファイル名 (8.3形式) で出力\n"
    "  /case:upper      大文字に統一 (/case:lower 小文字に統一、/case:asis 無変換)\n"
    "  /wild:パターン   ワイルドカードで絞り込み (\"/wild:*.txt;*.log\")\n"
    "  /regex:正規表現  正規表現で絞り込み\n"
    "  /nofilter        フィルタなし\n"
    "  /utf8            UTF-8 で出力\n";

const char USAGE_DASH_OPTIONS[] =
    "  -h, --help       この使い方を表示します\n"
    "  --version        バージョンを表示します\n"
    "  --               以降の引数はフォルダか出力ファイルです\n";

const char USAGE_EXIT_STATUS[] =
    "\n"
    "終了コード:\n"
    "  0    一覧を書き出しました\n"
    "  1    コマンドラインを使えません\n"
    "  2    出力ファイルを作成または書き込みできませんでした\n"
    "  3    一覧を書き出しましたが、読めないフォルダがありました\n"
    "  4    メモリが足りません (一覧なし)\n"
    "  130  キャンセルしました\n";

const char USAGE_SIGNALS[] =
    "  143  SIGTERM で終了しました\n"
    "  129  SIGHUP で終了しました\n";

char usage[sizeof USAGE_COMMON + sizeof USAGE_DASH_OPTIONS + sizeof USAGE_EXIT_STATUS + sizeof USAGE_SIGNALS +
           16];

char* append(char* end, const char* text) {
    const size_t length = strlen(text);
    memcpy(end, text, length + 1);
    return end + length;
}

}  // namespace

const char* usage_text() {
    char* end = append(usage, USAGE_COMMON);
    if (DASH_OPTIONS) end = append(end, USAGE_DASH_OPTIONS);
    end = append(end, USAGE_EXIT_STATUS);
    if (DASH_OPTIONS) append(end, USAGE_SIGNALS);
    return usage;
}

const char* command_problem_text(command_problem_t problem) {
    switch (problem) {
        case PROBLEM_UNKNOWN_OPTION:
            return "不明なオプションです (scrivlet --help で使い方を表示します): ";
        case PROBLEM_BAD_VALUE:
            return "スイッチの値を使えません: ";
        case PROBLEM_MISSING_VALUE:
            return "スイッチに値がありません: ";
        case PROBLEM_CONFLICT:
            return "一緒には使えないスイッチです (/csv と /tsv は /null、/lf、/sep:/ と一緒に使えず、"
                   "/bom には /utf8 が要ります): ";
        case PROBLEM_TOO_LONG:
            return "長すぎて扱えないパスまたはフィルタがあります。";
        case PROBLEM_NO_FOLDER:
            return "指定されたフォルダが見つかりません。";
        case PROBLEM_NO_OUTPUT:
            return "出力ファイルが指定されていません。";
        case PROBLEM_AUTO_TAKEN:
            return "/auto の出力ファイル名 (フォルダ.txt、フォルダ(0).txt ～ フォルダ(9).txt) "
                   "はすべて使われています。";
        case PROBLEM_AUTO_ROOT:
            return "ルートフォルダには /auto で出力ファイル名を付けられません。";
        default:
            return "コマンドラインを使えません。";
    }
}

bool command_problem_names_argument(command_problem_t problem) {
    return problem == PROBLEM_UNKNOWN_OPTION || problem == PROBLEM_BAD_VALUE ||
           problem == PROBLEM_MISSING_VALUE || problem == PROBLEM_CONFLICT;
}

void describe_unusable_command_line(char* out, command_problem_t problem, const char* argument,
                                    const char* folder) {
    if (problem == PROBLEM_NO_FOLDER && folder[0] == '\0') {
        str_copy_bounded(out, "一覧を作成するフォルダが指定されていません。", FORMAT_BUFFER_SIZE);
    } else if (problem == PROBLEM_NO_FOLDER) {
        str_format(out, "フォルダ「%s」が見つかりません。", folder);
    } else {
        const bool named = argument && command_problem_names_argument(problem);
        str_format(out, "%s%s", command_problem_text(problem), named ? argument : "");
    }
}
