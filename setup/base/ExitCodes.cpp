#include "ExitCodes.h"

int ExitCodeOf(RunOutcome outcome, bool rebootNeeded, bool restartStarted)
{
    switch (outcome) {
    case RunOutcome::Failed:
        return kExitFailed;
    case RunOutcome::Cancelled:
        return kExitCancelled;
    case RunOutcome::KeptNewer:
        return kExitOtherVersion;
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

const char* ExitCodeMeaning(int code)
{
    switch (code) {
    case kExitSuccess:
        return "success";
    case kExitRestartNeeded:
        return "success, Windows must restart to finish";
    case kExitRestartStarted:
        return "success, the restart of Windows has been started";
    case kExitCancelled:
        return "cancelled";
    case kExitFailed:
        return "failed";
    case kExitAlreadyRunning:
        return "another copy of this setup is running";
    case kExitOtherVersion:
        return "a newer version of the product is installed and stays";
    case kExitBadCommandLine:
        return "invalid command line, nothing was done";
    default:
        return "unknown";
    }
}
