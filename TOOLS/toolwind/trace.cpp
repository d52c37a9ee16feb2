// The debug trace: a replaceable printf-style procedure writing to the
// debugger output.
#include <stdio.h>

#include "TOOLS/toolwind/toolwind.h"
#include "text/mbs.h"

namespace {
// Written before any thread starts (or by a test), only read afterwards.
trace_proc_t trace_proc = nullptr;
}  // namespace

trace_proc_t GetTraceProc() {
    return trace_proc ? trace_proc : DefaultTraceProc;
}

trace_proc_t SetTraceProc(trace_proc_t proc) {
    const trace_proc_t previous = GetTraceProc();
    trace_proc = proc;
    return previous;
}

int DefaultTraceProc(const char* format, ...) {
    char text[FORMAT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    // At most 1023 characters are kept; a longer text is cut and reported as -1.
    int length = vsnprintf(text, FORMAT_BUFFER_SIZE, format, args);
    va_end(args);
    if (length > (int)FORMAT_BUFFER_SIZE - 1) length = -1;
    os.debug_output(text);
    return length;
}
