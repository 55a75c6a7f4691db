// Informational lines of the script code for the debug log's trace hook
// (silent in the shipped program; tests bind the hook to observe them).
#pragma once

// Formats one line (cut to 1023 characters) and hands it to DebugTrace.
void ScriptTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
