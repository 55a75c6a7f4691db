// The installer's program start: everything from the debug log to the end
// of the message loop. Returns the process exit code (ExitCodes.h).
#pragma once

#include <windows.h>

int SetupMain(HINSTANCE module, const char* commandLine);
