// Standard input, output and error, opened on /dev/null where the program
// was started with them closed (`2>&-`): otherwise the first file the
// program opens would take descriptor 2, and the trace would go into it.
#pragma once

// Called first thing in main, before any other file is opened.
void standard_streams_open_closed();
// True when descriptor (0, 1 or 2) was closed at start.
bool standard_stream_was_closed(int descriptor);
