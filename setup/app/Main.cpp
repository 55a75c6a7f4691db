#include <windows.h>

#include "DllSearch.h"
#include "SetupMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // Before anything can load a DLL: setup runs from folders others can
    // write to, with administrator rights. (The planting test's guard-less
    // build, setup_unguarded, leaves it out.)
#ifndef TEST_BUILD_WITHOUT_DLL_GUARD
    RestrictDllSearch();
#endif
    return SetupMain(instance, commandLine);
}
