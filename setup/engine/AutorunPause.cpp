#include "AutorunPause.h"

void PauseAutorun()
{
    // Left open on purpose: the autorun program tests for the name while
    // this process lives; the system closes it at process end.
    CreateMutexA(nullptr, FALSE, kAutorunPauseMutex);
    if (HWND autorun = FindWindowA(kAutorunWindowClass, nullptr))
        PostMessageA(autorun, kAutorunPauseMessage, 0, 0);
}
