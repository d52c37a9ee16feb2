// The rows of the os table: every call the program makes to the system, at
// the program's own level (folders, files, threads and locks, time, the
// user, memory).
//
// ROW(result, name, (parameters), (arguments), failed) for each row:
// `failed` is what the row returns when it fails, with its reason in
// os_last_error() (OS_VOID for rows that cannot fail). The table record, its
// count, the names and the defaults of each platform are all made from this
// one list, so a row is added in one place.
#pragma once

#define OS_VOID

#define OS_CALLS(ROW)                                                                                        \
    /* Folders by their native names (platform/folders.h). */                                                \
    ROW(folder_t*, folder_open, (const nchar_t* path, unsigned options), (path, options), nullptr)           \
    ROW(folder_t*, folder_open_child, (folder_t * parent, const nchar_t* name, unsigned options),            \
        (parent, name, options), nullptr)                                                                    \
    ROW(bool, folder_read, (folder_t * folder, folder_item_t * item), (folder, item), false)                 \
    ROW(bool, folder_identity, (folder_t * folder, folder_identity_t * identity), (folder, identity), false) \
    ROW(bool, folder_item_identity, (folder_t * folder, const nchar_t* name, folder_identity_t* identity),   \
        (folder, name, identity), false)                                                                     \
    ROW(void, folder_close, (folder_t * folder), (folder), OS_VOID)                                          \
    ROW(unsigned, folders_open_max, (), (), 0)                                                               \
    ROW(bool, folder_is_remote, (const nchar_t* path), (path), false)                                        \
    ROW(size_t, short_path, (const nchar_t* path, nchar_t* out, size_t out_size), (path, out, out_size), 0)  \
    /* Files by their native paths (platform/files.h). */                                                    \
    ROW(uint32_t, file_attributes, (const nchar_t* path), (path), INVALID_FILE_ATTRIBUTES)                   \
    ROW(nchar_t*, absolute_path, (const nchar_t* path), (path), nullptr)                                     \
    ROW(bool, list_target_find, (const nchar_t* path, list_target_t* target), (path, target), false)         \
    ROW(file_t*, file_create_temp, (const nchar_t* beside, nchar_t** temp_path), (beside, temp_path),        \
        nullptr)                                                                                             \
    ROW(file_t*, file_open_direct, (const list_target_t* target), (target), nullptr)                         \
    ROW(file_t*, file_standard_output, (), (), nullptr)                                                      \
    ROW(bool, file_copy_metadata, (const nchar_t* from, file_t* to), (from, to), false)                      \
    ROW(bool, file_identity, (file_t * file, folder_identity_t * identity), (file, identity), false)         \
    ROW(bool, file_write, (file_t * file, const void* data, size_t size, size_t* written),                   \
        (file, data, size, written), false)                                                                  \
    ROW(bool, file_flush, (file_t * file), (file), false)                                                    \
    ROW(bool, file_close, (file_t * file), (file), false)                                                    \
    ROW(bool, file_replace, (const nchar_t* from, const nchar_t* to), (from, to), false)                     \
    ROW(bool, file_remove, (const nchar_t* path), (path), false)                                             \
    /* Names in the program's text: a byte string whose strcmp order is the user's order, case ignored; */   \
    /* and whether an ASCII name's key is only the name with A to Z as a to z (none need then be made). */   \
    ROW(int, sort_key, (const char* text, char* out, int out_size), (text, out, out_size), 0)                \
    ROW(bool, sort_key_folds_ascii, (), (), false)                                                           \
    /* Threads, events and locks. */                                                                         \
    ROW(HANDLE, event_create, (bool manual_reset, bool initially_set), (manual_reset, initially_set),        \
        nullptr)                                                                                             \
    ROW(bool, event_set, (HANDLE event), (event), false)                                                     \
    ROW(uint32_t, wait, (HANDLE handle, uint32_t milliseconds), (handle, milliseconds), WAIT_FAILED)         \
    ROW(HANDLE, thread_create, (thread_start_fn start, void* arg, bool suspended), (start, arg, suspended),  \
        nullptr)                                                                                             \
    ROW(bool, thread_resume, (HANDLE thread), (thread), false)                                               \
    ROW(bool, thread_exit_code, (HANDLE thread, uint32_t * exit_code), (thread, exit_code), false)           \
    ROW(bool, handle_close, (HANDLE handle), (handle), false)                                                \
    ROW(unsigned, processor_count, (), (), 0)                                                                \
    ROW(lock_t*, lock_create, (), (), nullptr)                                                               \
    ROW(void, lock_free, (lock_t * lock), (lock), OS_VOID)                                                   \
    ROW(void, lock_enter, (lock_t * lock), (lock), OS_VOID)                                                  \
    ROW(void, lock_leave, (lock_t * lock), (lock), OS_VOID)                                                  \
    ROW(cond_t*, cond_create, (), (), nullptr)                                                               \
    ROW(void, cond_free, (cond_t * cond), (cond), OS_VOID)                                                   \
    ROW(void, cond_wait, (cond_t * cond, lock_t * lock), (cond, lock), OS_VOID)                              \
    ROW(void, cond_wake, (cond_t * cond), (cond), OS_VOID)                                                   \
    /* Time. */                                                                                              \
    ROW(uint64_t, clock_ms, (), (), 0)                                                                       \
    ROW(bool, local_time, (int64_t seconds, local_time_t * out), (seconds, out), false)                      \
    /* The user: the debug trace, message boxes, the beep, the console. */                                   \
    ROW(void, debug_output, (const char* text), (text), OS_VOID)                                             \
    ROW(int, message_box, (HWND owner, const char* text, const char* caption, unsigned type),                \
        (owner, text, caption, type), 0)                                                                     \
    ROW(bool, beep, (unsigned type), (type), false)                                                          \
    ROW(bool, console_line, (const char* text), (text), false)                                               \
    ROW(size_t, error_reason, (os_error_t error, char* out, size_t out_size), (error, out, out_size), 0)     \
    /* Memory: the blocks of the listing (released with free). */                                            \
    ROW(void*, malloc, (size_t size), (size), nullptr)
