// The program's errors: what went wrong, in the program's own words.
//
// One list makes the codes, their names and their messages. Each platform
// translates its own codes (errno, GetLastError) into these once, at the
// seam, so no code above it holds a raw system code. The system's code
// travels beside, opaque, only so that os.error_reason can give the
// system's own words for it.
#pragma once

#include <stdint.h>

// XX(name, message): the message is the program's own (code page 932), for
// where the system has no words.
#define OS_ERRORS(XX)                                     \
    XX(NONE, "エラーはありません")                        \
    XX(NO_MEMORY, "メモリが足りません")                   \
    XX(NO_DESCRIPTORS, "開いているファイルが多すぎます")  \
    XX(NO_THREADS, "スレッドを作成できません")            \
    XX(ACCESS_DENIED, "アクセスが拒否されました")         \
    XX(NOT_FOUND, "見つかりません")                       \
    XX(NOT_A_FOLDER, "フォルダではありません")            \
    XX(IS_A_FOLDER, "フォルダです")                       \
    XX(READ_ONLY, "読み取り専用です")                     \
    XX(NO_SPACE, "ディスクに空きがありません")            \
    XX(IO, "入出力エラーが発生しました")                  \
    XX(NAME_TOO_LONG, "名前またはパスが長すぎます")       \
    XX(LINK_LOOP, "シンボリックリンクをたどりきれません") \
    XX(EXISTS, "既にあります")                            \
    XX(BUSY, "使用中です")                                \
    XX(CLOSED, "書き込み先が閉じられています")            \
    XX(WOULD_BLOCK, "相手の準備ができていません")         \
    XX(INVALID, "扱えない名前または引数です")             \
    XX(OTHER, "エラーが発生しました")

enum os_error_code_t {
#define OS_ERROR_CODE(name, message) OS_ERROR_##name,
    OS_ERRORS(OS_ERROR_CODE)
#undef OS_ERROR_CODE
        OS_ERROR_COUNT
};

struct os_error_t {
    os_error_code_t code;
    uint32_t system;  // errno or the Win32 code; 0 when the program made the error itself
};

constexpr os_error_t OS_NO_ERROR = {OS_ERROR_NONE, 0};

// "NO_MEMORY" and the like.
const char* os_error_name(os_error_code_t code);
// The program's own words for the error (code page 932).
const char* os_error_message(os_error_code_t code);

// The calling thread's last error, as the rows of the os table leave it
// when they fail (as GetLastError on Windows).
os_error_t os_last_error();
void os_set_last_error(os_error_t error);
inline void os_set_last_error(os_error_code_t code, uint32_t system = 0) {
    os_set_last_error(os_error_t{code, system});
}
