// Starting a program once at the user's next log-on.
#pragma once

// Stores the command for `program` with `arguments` (see
// ComposeRunOnceCommand) as text value `valueName` under the current
// user's RunOnce key, creating the key when missing. Returns 1 when stored;
// 0 with the thread's last error otherwise (ERROR_FILENAME_EXCED_RANGE for a
// command too long for the entry: it is refused, never cut).
int RegisterRunOnce(const char* valueName, const char* program, const char* arguments);
