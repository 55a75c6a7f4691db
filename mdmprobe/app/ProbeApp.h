// The modem test application: all of its work happens in InitInstance, whose
// result (the run status) is also the process exit code.
#pragma once

#include "WizardApp.h"

#include <string>

struct TestContext;
class CWelcomeP;
class CConfigP;
class CTestP;
class CWizardSheet;

class CProbeApp : public CWizardApp
{
public:
    // Parses the command line, creates the run's objects, writes the log
    // header, runs the wizard, records a cancel and tears everything down.
    // Returns the run status: 0 or the failed-test bits, -2 no modem, 1 modem
    // found but not tested, -4 unusable command line, -5 cancelled.
    int InitInstance() override;
};

// The wizard's look: chosen by the common-controls version (the program), or
// fixed (tools that show both looks).
enum class WizardLook { FromCommonControls, Wizard97, Classic };

// The whole run behind CProbeApp::InitInstance: `commandLine` is the text
// after the program name. Returns the run status.
int RunModemTest(HINSTANCE instance, const std::string& commandLine,
                 WizardLook look = WizardLook::FromCommonControls);

// Gives the pages their templates and texts and the sheet its look: the
// classic layout when context.oldStyleWizard is set, else Wizard 97 with
// watermark and header bitmaps (the welcome page as an exterior page).
void SetUpWizard(const TestContext& context, CWelcomeP& welcome, CConfigP& search, CTestP& test,
                 CWizardSheet& sheet);
