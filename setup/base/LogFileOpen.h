// Opening a log file named on the command line. The installer runs
// elevated, so a name must not turn its writes against another file: names
// of devices, paths through a reparse point (junction, symbolic link) and
// files with further hard links are refused.
#pragma once

#include <windows.h>

// Opens `name` for writing (created when missing, never truncated here);
// with `append`, every write goes to the file's end. Others may read and
// write it, none may delete or rename it while it is open. Returns
// INVALID_HANDLE_VALUE when it cannot be opened; `*refusal` is then the
// reason when the name was refused, else null.
HANDLE OpenPlainLogFile(const char* name, bool append, const char** refusal);
