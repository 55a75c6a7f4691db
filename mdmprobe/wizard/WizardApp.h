// The application object: its InitInstance does all of the program's work
// and returns the run's result, which becomes the process exit code.
#pragma once

#include <windows.h>

class CWizardApp
{
public:
    virtual ~CWizardApp() = default;

    // The program's work. Runs on the main thread after the common controls
    // are initialised; the result is the process exit code.
    virtual int InitInstance() = 0;

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";  // the text after the program name, as Windows gives it
};

// Entry helper for WinMain: fills in the application object and runs it.
int RunWizardApp(CWizardApp& app, HINSTANCE instance, const char* commandLine);
