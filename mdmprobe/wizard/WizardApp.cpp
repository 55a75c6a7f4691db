#include "WizardApp.h"

#include <commctrl.h>

namespace {

// Registers the common control classes. InitCommonControlsEx exists only from
// comctl32 4.70 on, so it is looked up at run time; an older library gets
// InitCommonControls, which registers the same Windows 95 classes.
void InitCommonControlClasses()
{
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto initEx = comctl ? reinterpret_cast<InitEx>(reinterpret_cast<void*>(
                               GetProcAddress(comctl, "InitCommonControlsEx")))
                         : nullptr;
    if (initEx) {
        INITCOMMONCONTROLSEX controls = {};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_WIN95_CLASSES;
        if (initEx(&controls))
            return;
    }
    InitCommonControls();
}

}  // namespace

int RunWizardApp(CWizardApp& app, HINSTANCE instance, const char* commandLine)
{
    InitCommonControlClasses();

    app.m_hInstance = instance;
    app.m_lpCmdLine = commandLine ? commandLine : "";
    try {
        return app.InitInstance();
    } catch (...) {
        return -1;
    }
}
