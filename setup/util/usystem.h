// System services of the utility library: starting programs.
#pragma once

#include <windows.h>

// Wait flags of xUtilStartProgram.
enum : unsigned {
    kStartWaitForIdle = 1,   // wait until the new process waits for input, at most 10 s (ignored with kStartWaitForExit)
    kStartWaitForExit = 2,   // wait until the process ends and report its exit code
};

// Starts `programPath` with `arguments` (may be null): a path with a blank
// is quoted unless it is quoted at both ends already; the program's folder
// is the working directory (the caller's when the path names no folder).
// `exitCode` (may be null) receives the exit code with kStartWaitForExit.
// Returns 1 when the process was created; 0 with the thread's last error
// otherwise, after writing the failure and the system's text to the debug log.
int xUtilStartProgram(const char* programPath, const char* arguments, unsigned waitFlags,
                      DWORD* exitCode);

// True on the NT family, false on Windows 95, 98 and Me.
bool xUtilIsWinNT();
