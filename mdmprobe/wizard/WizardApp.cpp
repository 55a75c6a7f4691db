#include "WizardApp.h"

#include <commctrl.h>

int RunWizardApp(CWizardApp& app, HINSTANCE instance, const char* commandLine)
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    app.m_hInstance = instance;
    app.m_lpCmdLine = commandLine ? commandLine : "";
    try {
        return app.InitInstance();
    } catch (...) {
        return -1;
    }
}
