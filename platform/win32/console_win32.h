// The console of the program that started this one (cmd, PowerShell): a
// windowed program has none of its own.
#pragma once

// Attaches to it, where there is one; first thing at start.
void console_attach_parent();
