// The deployment switches at the start of a run: the values are checked
// before anything is done, the installation log is opened, and the tokens
// the command line ignores are named.
#pragma once

#include "SetupCommandLine.h"

#include <windows.h>

// Whether the switch values can be used: a switch marked invalid while
// parsing, or a /target: folder that breaks the target page's rules (the
// folder is trimmed in place). When not, the debug log names the switch
// and the rule, and an interactive run shows the failure box.
bool SwitchValuesUsable(SetupOptions* options, HINSTANCE module);

// Opens /log:'s file when one is named (a file that cannot be opened
// changes nothing else), then names every ignored token in the debug log
// (at the error level, so that it is seen) and in the log.
void StartRunRecords(const SetupOptions& options);
