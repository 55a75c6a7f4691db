#include "WizardApp.h"

#include "CommonControls.h"

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
