// Exit codes of the installer: the codes deployment tools and scripts
// already understand from other installers. Plain logic without windows.h.
#pragma once

enum SetupExitCode : int {
    kExitSuccess = 0,
    kExitRestartStarted = 1641,  // the run succeeded and Windows is restarting
    kExitCancelled = 1602,       // the user cancelled or declined (also the newer-version question)
    kExitFailed = 1603,          // the run failed or could not start (script, conditions, no product)
    kExitAlreadyRunning = 1618,  // another copy of this setup program is running
    kExitRestartNeeded = 3010,   // the run succeeded; a restart is needed and was not made
};

// How the setup run ended before the restart decision.
enum class RunOutcome {
    Finished,   // the wizard finished its run (or nothing needed doing)
    Cancelled,  // the user cancelled the wizard or declined the newer-version question
    Failed,     // the run failed or could not start
};

// The outcome of a setup run after the wizard: the result of the wizard's
// last installation or removal run decides (`lastRun` 1 succeeded, 0
// failed), also where the wizard reports otherwise; without a run (-1) the
// wizard's own outcome counts.
RunOutcome OutcomeAfterWizard(RunOutcome wizard, int lastRun);

// The exit code of a run: a started restart comes first (the process is
// ending with Windows), then failure, cancellation, and a needed restart
// that was not made.
int ExitCodeOf(RunOutcome outcome, bool rebootNeeded, bool restartStarted);
