#include <windows.h>

#include "SetupMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return SetupMain(instance, commandLine);
}
