// The program's exit statuses: one list makes the constants, the usage's
// table, the man page's and the guide's (cmake/exit_statuses.cmake reads
// this file), and the tests check the documents against it.
#pragma once

// XX(name, value, where, meaning): `where` is EXIT_EVERYWHERE, or
// EXIT_POSIX_ONLY for the statuses of signals only Linux sends.
#define EXIT_STATUSES(XX)                                                                      \
    XX(EXIT_LISTED, 0, EXIT_EVERYWHERE, "一覧を書き出しました")                                \
    XX(EXIT_COMMAND_LINE, 1, EXIT_EVERYWHERE, "コマンドラインを使えません")                    \
    XX(EXIT_LIST_FILE, 2, EXIT_EVERYWHERE, "保存ファイルを作成または書き込みできませんでした") \
    XX(EXIT_INCOMPLETE, 3, EXIT_EVERYWHERE, "読み込めないフォルダがありました")                \
    XX(EXIT_NO_MEMORY, 4, EXIT_EVERYWHERE, "メモリなどのシステム資源が足りません")             \
    XX(EXIT_HANGUP, 129, EXIT_POSIX_ONLY, "SIGHUP で中止しました")                             \
    XX(EXIT_CANCELLED, 130, EXIT_EVERYWHERE, "キャンセルしました")                             \
    XX(EXIT_TERMINATED, 143, EXIT_POSIX_ONLY, "SIGTERM で中止しました")

constexpr bool EXIT_EVERYWHERE = false;
constexpr bool EXIT_POSIX_ONLY = true;

enum exit_status_t {
#define EXIT_STATUS_VALUE(name, value, where, meaning) name = value,
    EXIT_STATUSES(EXIT_STATUS_VALUE)
#undef EXIT_STATUS_VALUE
};

struct exit_status_row_t {
    const char* name;
    int value;
    bool posix_only;
    const char* meaning;  // code page 932
};

constexpr exit_status_row_t EXIT_STATUS_ROWS[] = {
#define EXIT_STATUS_ROW(name, value, where, meaning) {#name, value, where, meaning},
    EXIT_STATUSES(EXIT_STATUS_ROW)
#undef EXIT_STATUS_ROW
};

constexpr int EXIT_STATUS_COUNT = sizeof EXIT_STATUS_ROWS / sizeof EXIT_STATUS_ROWS[0];
