// The installer's debug log: diagnostic text filtered by level and written to
// standard output, to files or devices named by the user, and by default to
// the pipe "\\.\pipe\debug" a debug viewer listens on (NT family only).
//
// Configure once on the main thread before any other thread starts. Printing
// takes no lock: every call is one formatted write per sink, each followed by
// a flush, so lines of different threads do not tear within a sink. All sinks
// are closed at process exit.
#pragma once

#include <windows.h>

#include <cstdarg>

// Levels: 1 errors, 2 and 3 more detail; 0 silences everything.
enum : int { kDebugError = 1 };

// Reads the "debug" option of `commandLine` (may be null) or, without one,
// the DEBUG environment variable, and opens the sinks. At most 16 sinks;
// names that cannot be opened are skipped silently. Always returns 1.
int DebugConfigure(const char* commandLine);

// Writes the formatted text to every sink when `level` does not exceed the
// configured level. Returns the character count of the last write, 0 when
// the level filtered the message out.
int DebugPrint(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
int DebugPrintV(int level, const char* format, va_list args);

// Whether a message of `level` reaches a sink: the level admits it and
// standard output or a sink is open. Callers that would build a text only
// for the log ask first.
bool DebugWrites(int level);

// DebugPrint at the error level.
int DebugErrorPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "Error number %i: %s" with the system's message text for `code`, at the
// error level.
void DebugReportError(DWORD code);
// DebugReportError(GetLastError()).
void DebugReportLastError();

// The informational trace hook. Its binding writes nothing and returns 0, so
// only errors reach the sinks; tests may bind their own function to observe
// the traces. The hook receives one complete line.
typedef int (*DebugTraceHook)(const char* text);
int DebugTrace(const char* text);
// Whether a hook other than the silent binding is bound (a trace line is
// worth formatting only then).
bool DebugTraceBound();
// Binds `hook` (null restores the silent one); returns the previous binding.
// Call it while no other thread traces.
DebugTraceHook DebugSetTraceHook(DebugTraceHook hook);
