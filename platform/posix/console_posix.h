// Standard error on a terminal: the program's lines and the progress line.
//
// The progress line is drawn with the cursor put back at its start. A line
// of the program (os.console_line, from any thread) first erases it, so no
// line lands inside it; the next draw puts it back.
#pragma once

// Draws (or redraws) the progress line: program text, one line.
void console_progress_draw(const char* text);
// Takes the progress line off the terminal.
void console_progress_erase();
// The erase alone, for signal handlers (async-signal-safe).
void console_progress_erase_now();
