#include "ProbeApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    CProbeApp app;
    return RunWizardApp(app, instance, commandLine);
}
