// A GUI program set up like the installer: it configures the debug log from
// its command line, prints one line per level and starts a program that does
// not exist, then ends. DebugLog_test runs it and reads the sinks.
#include "DebugLog.h"
#include "usystem.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    DebugConfigure(commandLine);
    DebugPrint(1, "level %d line\n", 1);
    DebugPrint(2, "level %d line\n", 2);
    DebugPrint(3, "level %d line\n", 3);
    xUtilStartProgram("C:\\missing-program.exe", "x", kStartWaitForExit, nullptr);
    return 0;
}
