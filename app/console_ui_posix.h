// The command-line program's console side (app/console_ui_posix.cpp).
#pragma once

// Catches the signals that would end the program, from its start to its
// end, so that none ends it between a run's first step and its report
// without removing the temporary file or with a status the run belies.
void console_catch_signals();
