// System services of the utility library: starting programs.
#pragma once

#include <windows.h>

#include <cstddef>

// Wait flags of xUtilStartProgram.
enum : unsigned {
    kStartWaitForIdle = 1,   // wait until the new process waits for input, at most 10 s (ignored with kStartWaitForExit)
    kStartWaitForExit = 2,   // wait until the process ends and report its exit code
};

// The path to start for `program`: a name without a folder is taken from
// the system folder only (never from the medium or the current folder),
// with ".exe" added when the name has no extension there; any other path is
// copied as it is, without enclosing quotes. 0 when it does not fit `size`.
int xUtilProgramPath(const char* program, char* path, size_t size);

// Starts `programPath` with `arguments` (may be null), named exactly (the
// path of xUtilProgramPath, so Windows searches nowhere); the command line
// quotes a path with a blank unless it is quoted at both ends already; the
// program's folder is the working directory.
// `exitCode` (may be null) receives the exit code with kStartWaitForExit.
// Returns 1 when the process was created; 0 with the thread's last error
// otherwise, after writing the failure and the system's text to the debug log.
int xUtilStartProgram(const char* programPath, const char* arguments, unsigned waitFlags,
                      DWORD* exitCode);

// True on the NT family, false on Windows 95, 98 and Me.
bool xUtilIsWinNT();

// Makes the system folder the current directory: setup runs with
// administrator rights from folders others may write to, so nothing may be
// found relative to the folder it was started in; and a current directory
// is held open, so a folder to be deleted must not be it.
void xUtilEnterSystemFolder();
