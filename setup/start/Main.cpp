#include <windows.h>

#include "DebugLog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // The debug log comes first, so that everything after it can report.
    DebugConfigure(commandLine);
    return 0;
}
