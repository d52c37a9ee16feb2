// The program's exit statuses: one list makes the constants, the usage's
// table, the man page's and the guide's (cmake/exit_statuses.cmake reads
// this file), and the tests check the documents against it.
#pragma once

// XX(name, value, where, meaning, English meaning): `where` is
// EXIT_EVERYWHERE, or EXIT_POSIX_ONLY for the statuses of signals only Linux
// sends. The meaning (code page 932 in the program) goes into the usage and
// the Japanese documents, the English one into the English manual page.
#define EXIT_STATUSES(XX)                                                                         \
    XX(EXIT_LISTED, 0, EXIT_EVERYWHERE, "一覧を書き出しました", "The list was written.")          \
    XX(EXIT_COMMAND_LINE, 1, EXIT_EVERYWHERE, "コマンドラインを使えません",                       \
       "The command line cannot be used: standard error says why, in one line.")                  \
    XX(EXIT_LIST_FILE, 2, EXIT_EVERYWHERE, "保存ファイルを作成または書き込みできませんでした",    \
       "The list file could not be created or written.")                                          \
    XX(EXIT_INCOMPLETE, 3, EXIT_EVERYWHERE, "読み込めないフォルダがありました",                   \
       "The list was written, but some folders could not be read.")                               \
    XX(EXIT_NO_MEMORY, 4, EXIT_EVERYWHERE, "メモリなどのシステム資源が足りません",                \
       "Memory or another system resource ran out.")                                              \
    XX(EXIT_HANGUP, 129, EXIT_POSIX_ONLY, "SIGHUP で中止しました", "Cancelled by SIGHUP.")        \
    XX(EXIT_CANCELLED, 130, EXIT_EVERYWHERE, "キャンセルしました", "Cancelled (Ctrl+C, SIGINT).") \
    XX(EXIT_TERMINATED, 143, EXIT_POSIX_ONLY, "SIGTERM で中止しました", "Cancelled by SIGTERM.")

constexpr bool EXIT_EVERYWHERE = false;
constexpr bool EXIT_POSIX_ONLY = true;

enum exit_status_t {
#define EXIT_STATUS_VALUE(name, value, where, meaning, english) name = value,
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
#define EXIT_STATUS_ROW(name, value, where, meaning, english) {#name, value, where, meaning},
    EXIT_STATUSES(EXIT_STATUS_ROW)
#undef EXIT_STATUS_ROW
};

constexpr int EXIT_STATUS_COUNT = sizeof EXIT_STATUS_ROWS / sizeof EXIT_STATUS_ROWS[0];
