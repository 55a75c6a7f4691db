// Program-wide state of one setup process: the start-up options and what
// the run shares with the wizard and its worker threads. Created by
// SetupMain on the main thread; lives until the process ends.
#pragma once

#include "ExitCodes.h"
#include "SetupCommandLine.h"
#include "ScriptSections.h"
#include "SetupContext.h"

#include <windows.h>

#include <atomic>

struct SetupState
{
    SetupOptions options;
    std::atomic<int> busy{0};          // a run thread works
    std::atomic<int> rebootNeeded{0};  // Windows must restart to finish the run
    int postInstallPage = 0;
    int postRemovePage = 0;
    ScriptSections sections = {};  // chosen once per run
    char targetDirectory[MAX_PATH] = {};
    int exitCode = kExitFailed;  // set by the run
};
