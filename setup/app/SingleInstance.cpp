#include "SingleInstance.h"

#include "HiddenWindow.h"

#include <windows.h>

bool ClaimSingleInstance()
{
    char name[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, name, sizeof(name));
    if (length == 0 || length >= sizeof(name))
        return true;  // no name to meet under: run
    CharLowerBuffA(name, length);
    for (DWORD i = 0; i < length; ++i) {
        if (name[i] == '\\')
            name[i] = '_';
    }
    // Never closed: the mutex marks this copy until the process ends.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    if (HWND first = FindWindowA(kSetupWindowClass, nullptr)) {
        if (IsIconic(first))
            ShowWindow(first, SW_RESTORE);
        SetForegroundWindow(first);
    }
    return false;
}
