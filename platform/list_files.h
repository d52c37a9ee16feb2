// The list file's road to the disk: what the target is, a temporary file
// beside it, and the replace that makes the new list appear whole.
#pragma once

// What os.list_target_kind finds at the list file's path.
enum list_target_t {
    LIST_TARGET_ABSENT,   // nothing there yet
    LIST_TARGET_REGULAR,  // a plain file: replaced whole at the end
    LIST_TARGET_OTHER,    // a pipe, a device, a link, ...: written directly, as it is
};

// The calls are rows of the os table (platform/platform.h):
//   list_target_kind(path)
//   create_temp_file(beside, &temp_path)  a new file in the folder of `beside`, named as no user
//                                         file is ("hidden" on Windows, the old list's permissions
//                                         on POSIX); *temp_path is a heap block for free()
//   flush_file(file)                      stdio's buffer and the system's, to the disk
//   replace_file(from, to)                from takes the place of to, whole or not at all
//   remove_file(path)
