// Programs the setup script runs at fixed points of the installation: the
// `Exec` key of a section lists Exec sections, or programs written with a
// leading at sign that run at once. Exec section lines:
//   level, program [, arguments [, working directory [, run flags]]]
// with level and flags in decimal, hexadecimal ("0x") or octal (leading 0).
#pragma once

#include <windows.h>

#include <setupapi.h>

// Run flags of an Exec line.
enum : unsigned {
    kExecNoWait = 1,        // return as soon as the program has started
    kExecDeleteAfter = 2,   // after waiting for the program, delete its file
};

// Runs the Exec entries of `section` for `level`: "@program" fields at once
// and waiting for them (whatever the level), then the lines of the named
// Exec sections whose level matches, in order. Missing keys, sections and
// programs that cannot start are skipped, and so are fields and lines whose
// program (or working directory) is longer than its buffer (logged; a cut
// one would name another program). `window` (the window running the
// installation) replaces a "%hwnd%" placeholder in the arguments. The
// current directory is restored after every program. Always 1.
int RunExec(HINF script, const char* section, unsigned level, HWND window);

// Starts `program` through the shell's default action with `arguments` (may
// be null; "%hwnd%" replaced by `window`) in `workingDir` (null or empty: the
// system folder). A program named without a folder is the system folder's
// (xUtilProgramPath). Unless kExecNoWait is set, waits without a time limit
// until the program ends and then, with kExecDeleteAfter, deletes the
// program file (never one of the system folder named without a folder).
// Returns 1, or 0 with the thread's last error when it could not start.
// The installation log gets a run line: the exit code of a program waited
// for, or why it did not start.
int StartExecProgram(const char* program, const char* arguments, const char* workingDir, unsigned runFlags,
                     HWND window);
