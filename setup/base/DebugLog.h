// The installer's debug log: diagnostic text filtered by level and written to
// standard output, to files named by the user, and by default to the pipe
// "\\.\pipe\debug" a debug viewer listens on (NT family only).
//
// The installer runs elevated, so neither sink may be turned against it. The
// pipe, which any program may have created, is connected at identification
// level (its server cannot act as the installing user), and a line it does
// not take within 200 ms closes it for the rest of the run (one line on the
// other sinks says so). Log files must be plain files on a disk: names of
// devices, paths through a reparse point (junction, symbolic link) and files
// with further hard links are refused, with one line on the other sinks.
//
// Configure once on the main thread before any other thread starts. Printing
// to files and standard output takes no lock: every call is one formatted
// write per sink, each followed by a flush, so lines of different threads do
// not tear within a sink; the pipe is written by one thread at a time. All
// sinks are closed at process exit.
#pragma once

#include <windows.h>

#include <cstdarg>

// Levels: 1 errors, 2 and 3 more detail; 0 silences everything.
enum : int { kDebugError = 1 };

// Reads the "debug" option of `commandLine` (may be null) or, without one,
// the DEBUG environment variable, and opens the sinks. At most 16 file
// sinks; names that cannot be opened are skipped silently, refused names
// (above) get one line each. Always returns 1. DebugStart and then
// DebugOpenFiles.
int DebugConfigure(const char* commandLine);

// The first half of DebugConfigure: sets the level and opens standard output
// and the pipe; the file sinks are only remembered. The installer opens them
// once it knows it is the only copy, so that a second start never truncates
// the running copy's log. Always returns 1.
int DebugStart(const char* commandLine);
// Opens the file sinks DebugStart remembered (once).
void DebugOpenFiles();

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
