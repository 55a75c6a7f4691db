#include <windows.h>

#include "DllSearch.h"
#include "SetupMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // Before anything can load a DLL: setup runs from folders others can
    // write to, with administrator rights.
    RestrictDllSearch();
    return SetupMain(instance, commandLine);
}
