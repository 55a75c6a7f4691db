// The exit codes of setup.exe as a deployment tool must read them: each
// code with the outcome a tool records and what to do about it. Plain
// logic without windows.h.
#pragma once

#include <vector>

struct DeployExitCode
{
    int code;
    const char* outcome;  // success, success-restart-needed, restart-started, cancelled, failed,
                          // in-progress, other-version-installed, invalid-command-line
    const char* meaning;  // for people: what happened and what a tool should do
    const char* winget;   // the package manager's ReturnResponse; null for 0
};

// Every exit code setup.exe ends with, 0 first.
const std::vector<DeployExitCode>& DeployExitCodes();
