// Debug-log lines of the utility library, each led by its source position:
// ".\<file>(<line>) : <function>(): <message>". The line numbers are the
// library's fixed trace numbers (technicians match them against their notes),
// not positions in our source files.
#pragma once

// Informational line through the trace hook (silent in the shipped program).
void UtilTraceAt(const char* file, int line, const char* function, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Line at the error level.
void UtilErrorAt(const char* file, int line, const char* function, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
