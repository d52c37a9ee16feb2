// The one seam between the portable code and the operating system.
//
// The portable code (text, filters, listing, command line, worker) is written
// against the Win32 API. On Windows that is <windows.h>; elsewhere
// platform/posix/ stands in for just the calls the program makes, with the
// same types, constants and behaviour.
//
// Every operating-system call the portable code makes goes through the table
// `os`, so that a test can replace one call and inject a failure, then put the
// defaults back with `os = os_default`.
#pragma once

#include <stdint.h>
#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/win32_api.h"
#endif

#include "platform/folders.h"
#include "platform/list_files.h"
#include "platform/native_text.h"

typedef unsigned(__stdcall* thread_start_fn)(void* arg);

struct platform_calls_t {
    // Folders by their native names (platform/folders.h).
    folder_t* (*folder_open)(const nchar_t* path, unsigned options);
    folder_t* (*folder_open_child)(folder_t* parent, const nchar_t* name, unsigned options);
    bool (*folder_read)(folder_t* folder, folder_item_t* item);
    bool (*folder_identity)(folder_t* folder, folder_identity_t* identity);
    void (*folder_close)(folder_t* folder);
    // True where each folder read costs a round trip over the network.
    bool (*folder_is_remote)(const nchar_t* path);
    // The short (8.3) form of a path into out: its length, 0 when it has
    // none, out_size or more (nothing written) when it does not fit.
    size_t (*short_path)(const nchar_t* path, nchar_t* out, size_t out_size);

    // File tests and names in the program's text.
    DWORD(WINAPI* GetFileAttributesA)(LPCSTR path);
    int(WINAPI* lstrcmpiA)(LPCSTR a, LPCSTR b);
    // With LCMAP_SORTKEY: a byte string whose strcmp order is CompareStringA's.
    int(WINAPI* LCMapStringA)(LCID locale, DWORD flags, LPCSTR source, int source_length, LPSTR dest,
                              int dest_size);

    // Threads and events.
    HANDLE(WINAPI* CreateEventA)
    (LPSECURITY_ATTRIBUTES security, BOOL manual_reset, BOOL initial_state, LPCSTR name);
    BOOL(WINAPI* SetEvent)(HANDLE event);
    DWORD(WINAPI* WaitForSingleObject)(HANDLE handle, DWORD milliseconds);
    DWORD(WINAPI* ResumeThread)(HANDLE thread);
    BOOL(WINAPI* GetExitCodeThread)(HANDLE thread, LPDWORD exit_code);
    BOOL(WINAPI* CloseHandle)(HANDLE handle);
    // The C runtime's thread start: a waitable handle, 0 on failure.
    uintptr_t (*beginthreadex)(void* security, unsigned stack_size, thread_start_fn start, void* arg,
                               unsigned flags, unsigned* thread_id);
    unsigned (*processor_count)();
    // The blocks of the listing's own memory (released with free).
    void* (*malloc)(size_t size);

    // User-visible output.
    void(WINAPI* OutputDebugStringA)(LPCSTR text);
    int(WINAPI* MessageBoxA)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    BOOL(WINAPI* MessageBeep)(UINT type);
    // One line of program text for the user at a console; nothing where there is none.
    void (*console_line)(const char* text);

    // Files by their native paths, of any length the system takes.
    DWORD (*file_attributes)(const nchar_t* path);  // INVALID_FILE_ATTRIBUTES when nothing is there
    // The list file (platform/list_files.h): opened "wb", every line's CR LF written by the program.
    FILE* (*fopen)(const nchar_t* path, const char* mode);
    size_t (*fwrite)(const void* data, size_t size, size_t count, FILE* file);
    int (*fclose)(FILE* file);
    int (*list_target_kind)(const nchar_t* path);
    FILE* (*create_temp_file)(const nchar_t* beside, nchar_t** temp_path);
    bool (*flush_file)(FILE* file);
    bool (*replace_file)(const nchar_t* from, const nchar_t* to);
    bool (*remove_file)(const nchar_t* path);
};

// The rows, counted: a row added to the record must be added to both tables.
constexpr size_t PLATFORM_CALL_COUNT = 32;
static_assert(sizeof(platform_calls_t) == PLATFORM_CALL_COUNT * sizeof(void (*)()),
              "every row of the os table is one function pointer");

extern platform_calls_t os;
extern const platform_calls_t os_default;
