#include "app/usage.h"

#include <string.h>

#include "app/exit_status.h"
#include "app/platform_rules.h"
#include "text/mbs.h"

namespace {

#ifdef _WIN32
#define PROGRAM_NAME "Scrivlet.exe"
#else
#define PROGRAM_NAME "scrivlet"
#endif

// One row of the usage: the Windows spelling, the GNU spellings (shown by
// the Linux program only), and what it does. A row without a switch is a
// heading; one with an empty text continues the one above.
struct usage_row_t {
    const char* windows;
    const char* gnu;
    const char* text;
};

const usage_row_t USAGE_ROWS[] = {
    {nullptr, nullptr, "実行のしかた:"},
    {"/noui", nullptr, "設定ダイアログを開かずに一覧を作成します"},
    {"/auto", nullptr, "保存ファイル名をフォルダ名から作ります (フォルダ.txt、使用中なら"},
    {"", nullptr, "フォルダ(0).txt ～ フォルダ(9).txt)"},
    {"/quiet", "-q, --quiet", "メッセージボックスもビープも出しません (終了コードとトレースで"},
    {"", nullptr, "知らせます)"},
    {"/v", "-v, --verbose", "終わりに件数の要約を出します (端末でなくても)"},
    {"/?", "-h, --help", "この使い方を表示します"},
    {nullptr, nullptr, "たどるもの・書き出すもの:"},
    {"/sub:1, /sub:0", "-r, --recursive", "サブフォルダもたどる / たどらない"},
    {"/depth:N", "--max-depth=N", "/sub:1 で N 階層までたどります (1 はフォルダの直下だけ)"},
    {"/skip:パターン", "--skip=パターン", "名前の合う項目を書き出さず、フォルダなら中もたどりません"},
    {"", nullptr, "(\"/skip:.git;node_modules\"、繰り返すと足されます)"},
    {"/only:files", "--files-only", "ファイルだけを書き出します (/only:folders フォルダだけ)"},
    {"/only:folders", "--folders-only", ""},
    {"/trim", "--trim", "何も書き出されないフォルダの行を省きます"},
    {"/nohidden", "--no-hidden", "隠し属性・システム属性の項目 (Linux では . で始まる名前) を"},
    {"", nullptr, "省き、フォルダなら中もたどりません"},
    {"/order:natural", "--order=natural", "数字の並びを数の大きさで比べます (IMG_2 が IMG_10 の前;"},
    {"", nullptr, "全角の数字は文字として比べます)。/order:name は名前順 (既定)"},
    {"/wild:パターン", "--wild=パターン", "ワイルドカードで絞り込みます (\"/wild:*.txt;*.log\")"},
    {"/regex:正規表現", "--regex=正規表現", "正規表現で絞り込みます (大文字と小文字は区別しません)"},
    {"/nofilter", "--no-filter", "絞り込みません"},
    {nullptr, nullptr, "書き方:"},
    {"/full, /rel", "--full, --relative", "フルパス名で / フォルダからの相対名で書き出します"},
    {"/short", "--short", "短いファイル名 (8.3形式) で書き出します"},
    {"/case:upper", "--case=upper", "大文字に統一します (/case:lower 小文字、/case:asis 無変換)"},
    {"/utf8", "--utf8", "UTF-8 で書き出します (名前はファイルシステムのとおり)"},
    {"/bom", "--bom", "UTF-8 の一覧の先頭に BOM を付けます (/csv と /tsv では付きます)"},
    {"/csv, /tsv", "--csv, --tsv", "パス、種類、サイズ、更新日時、属性の列に見出し行を付けて"},
    {"", nullptr, "書き出します (TSV では名前の中のタブを ? にします)"},
    {"/lf, /null", "--lf, -0, --null", "行末を LF / NUL にします (既定は CR LF)"},
    {"/sep:/", "--sep=/", "パスの区切りを / にします (既定は \\)"},
    {nullptr, nullptr, "名前の中の制御文字、Linux の名前の中の \\ は ? で書き出します"},
    {nullptr, nullptr, "(/utf8 /null /sep:/ なら名前をそのまま書き出します)。"},
    {nullptr, nullptr, "保存ファイル - は標準出力です。保存ファイルは一時ファイルに書いてから"},
    {nullptr, nullptr, "置き換えるので、中止しても前の一覧は残ります。シンボリックリンクは"},
    {nullptr, nullptr, "たどってその先を置き換え、ハードリンクは切れます。読み取り専用の"},
    {nullptr, nullptr, "保存ファイルは置き換えません。"},
};

const usage_row_t USAGE_DASH_ROWS[] = {
    {nullptr, nullptr, "その他:"},
    {"", "-o, --output=ファイル", "保存ファイルを指定します"},
    {"", "--version", "バージョンを表示します"},
    {"", "--", "以降の引数はフォルダか保存ファイルです"},
};

// Where the texts of the switch rows begin.
constexpr size_t TEXT_COLUMN = 22;

// Room for the whole text: every row, indented, on a line of its own.
char usage[8192];

struct usage_out_t {
    char* end;
    const char* limit;
};

void put(usage_out_t* out, const char* text) {
    const size_t length = strlen(text);
    if (out->end + length >= out->limit) return;
    memcpy(out->end, text, length + 1);
    out->end += length;
}

void put_row(usage_out_t* out, const usage_row_t& row) {
    if (!row.windows) {
        // A heading stands apart from the rows above it.
        const size_t length = strlen(row.text);
        if (length > 0 && row.text[length - 1] == ':' && out->end > usage && out->end[-1] == '\n' &&
            out->end - 1 > usage && out->end[-2] != '\n') {
            put(out, "\n");
        }
        put(out, row.text);
        put(out, "\n");
        return;
    }
    // Code page 932 takes one column a byte, two for a double-byte character.
    char names[128];
    const bool gnu = DASH_OPTIONS && row.gnu;
    str_format(names, "  %s%s%s", row.windows, gnu && row.windows[0] ? ", " : "", gnu ? row.gnu : "");
    if (!row.text[0] && !DASH_OPTIONS) return;  // a spelling only Linux has
    put(out, names);
    size_t column = strlen(names);
    if (column >= TEXT_COLUMN && row.text[0]) {
        put(out, "\n");
        column = 0;
    }
    for (; column < TEXT_COLUMN && row.text[0]; ++column) put(out, " ");
    put(out, row.text);
    put(out, "\n");
}

}  // namespace

const char* usage_text() {
    usage_out_t out = {usage, usage + sizeof usage};
    put(&out, "使い方: " PROGRAM_NAME " [スイッチ] [フォルダ] [保存ファイル]\n");
    if (DASH_OPTIONS) put(&out, "保存ファイルを省くと、一覧を標準出力に書き出します。\n");
    put(&out, "\n");
    for (const usage_row_t& row : USAGE_ROWS) put_row(&out, row);
    if (DASH_OPTIONS) {
        for (const usage_row_t& row : USAGE_DASH_ROWS) put_row(&out, row);
    }
    put(&out, "\n終了コード (0 と 3 のほかは、前の一覧がそのまま残ります):\n");
    for (const exit_status_row_t& status : EXIT_STATUS_ROWS) {
        if (status.posix_only && !DASH_OPTIONS) continue;
        char line[256];
        str_format(line, "  %-4d %s\n", status.value, status.meaning);
        put(&out, line);
    }
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
            return "保存ファイルが指定されていません。";
        case PROBLEM_AUTO_TAKEN:
            return "/auto の保存ファイル名 (フォルダ.txt、フォルダ(0).txt ～ フォルダ(9).txt) "
                   "はすべて使われています。";
        case PROBLEM_AUTO_ROOT:
            return "ルートフォルダには /auto で保存ファイル名を付けられません。";
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
