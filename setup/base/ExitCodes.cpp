#include "ExitCodes.h"

int ExitCodeOf(RunOutcome outcome, bool rebootNeeded, bool restartStarted)
{
    switch (outcome) {
    case RunOutcome::Failed:
        return kExitFailed;
    case RunOutcome::Cancelled:
        return kExitCancelled;
    case RunOutcome::Finished:
        break;
    }
    if (restartStarted)
        return kExitRestartStarted;
    return rebootNeeded ? kExitRestartNeeded : kExitSuccess;
}

RunOutcome OutcomeAfterWizard(RunOutcome wizard, int lastRun)
{
    if (lastRun == 0)
        return RunOutcome::Failed;
    return lastRun == 1 ? RunOutcome::Finished : wizard;
}
