#include "CommonControls.h"

#include <windows.h>

#include <commctrl.h>

void InitCommonControlClasses()
{
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto initEx = comctl ? reinterpret_cast<InitEx>(reinterpret_cast<void*>(
                               GetProcAddress(comctl, "InitCommonControlsEx")))
                         : nullptr;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    if (!initEx || !initEx(&controls))
        InitCommonControls();
}
