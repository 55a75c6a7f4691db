// The modem test application: all of its work happens in InitInstance, whose
// result (the run status) is also the process exit code.
#pragma once

#include "WizardApp.h"

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

// Gives the pages their templates and texts and the sheet its look: the
// classic layout when context.oldStyleWizard is set, else Wizard 97 with
// watermark and header bitmaps (the welcome page as an exterior page).
void SetUpWizard(const TestContext& context, CWelcomeP& welcome, CConfigP& search, CTestP& test,
                 CWizardSheet& sheet);
