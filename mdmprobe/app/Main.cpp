#include "DllSearch.h"
#include "ProbeApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // Before anything can load a DLL: setup starts the modem test elevated,
    // and its folder or current folder may be writable by others. (The
    // planting test's guard-less build, mdmprobe_unguarded, leaves it out.)
#ifndef TEST_BUILD_WITHOUT_DLL_GUARD
    RestrictDllSearch();
#endif
    CProbeApp app;
    return RunWizardApp(app, instance, commandLine);
}
