// SEAM: the wizard's pages are not built yet. This placeholder stands where
// the property sheet goes: it shows nothing and reports that no run could
// start, so the program ends with the "failed or could not start" code. The
// change that builds the wizard replaces this file.
#include "Wizard.h"

#include "DebugLog.h"

RunOutcome ShowWizard(SetupContext*)
{
    DebugErrorPrint("setup: this build has no wizard pages yet; nothing was installed or removed\n");
    return RunOutcome::Failed;
}
