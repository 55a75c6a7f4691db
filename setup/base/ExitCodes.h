// Exit codes of the installer: the codes deployment tools and scripts
// already understand from other installers. Plain logic without windows.h.
#pragma once

enum SetupExitCode : int {
    kExitSuccess = 0,
    kExitRestartStarted = 1641,  // the run succeeded and Windows is restarting
    kExitCancelled = 1602,       // the user cancelled or declined (also the newer-version question)
    kExitFailed = 1603,          // the run failed or could not start (script, conditions, no product)
    kExitAlreadyRunning = 1618,  // another copy of this setup program is running
    kExitOtherVersion = 1638,    // /newer:keep: a newer version of the product is installed and stays
    kExitBadCommandLine = 1639,  // a switch's value is invalid (/target:, /newer:, /startapp:); nothing was done
    kExitRestartNeeded = 3010,   // the run succeeded; a restart is needed and was not made
};

// How the setup run ended before the restart decision.
enum class RunOutcome {
    Finished,   // the wizard finished its run (or nothing needed doing)
    Cancelled,  // the user cancelled the wizard or declined the newer-version question
    Failed,     // the run failed or could not start
    KeptNewer,  // /newer:keep: a newer installed version stays, nothing was done
};

// The outcome of a setup run after the wizard: the result of the wizard's
// last installation or removal run decides (`lastRun` 1 succeeded, 0
// failed), also where the wizard reports otherwise; without a run (-1) the
// wizard's own outcome counts.
RunOutcome OutcomeAfterWizard(RunOutcome wizard, int lastRun);

// The exit code of a run: failure and cancellation come first, also when a
// restart follows them (a deployment tool must not read a failed run as a
// success); a successful run then tells whether the restart was started
// (1641) or is still needed (3010).
int ExitCodeOf(RunOutcome outcome, bool rebootNeeded, bool restartStarted);

// What an exit code means, in the words of the installation log and the
// usage ("success", "failed", ...); "unknown" for a code setup never gives.
const char* ExitCodeMeaning(int code);
