#include "WindowsVersion.h"

#include <windows.h>

RunningWindows QueryRunningWindows()
{
    RunningWindows running;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExA(&version)) {
        running.nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        running.major = version.dwMajorVersion;
        running.minor = version.dwMinorVersion;
    }
    return running;
}

bool IsNt51OrLater()
{
    RunningWindows running = QueryRunningWindows();
    return running.nt && (running.major > 5 || (running.major == 5 && running.minor >= 1));
}
