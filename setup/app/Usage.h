// The usage of /? and /help: the switches and exit codes in the program's
// language, written to the caller's console when there is one, else shown
// in a box.
#pragma once

#include <windows.h>

// Writes or shows the usage (string IDS_USAGE of `module`).
void ShowUsage(HINSTANCE module);
