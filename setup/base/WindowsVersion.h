// Questions about the running Windows version.
#pragma once

// Platform and version number of the running Windows.
struct RunningWindows
{
    bool nt = false;  // NT family; false for Windows 95, 98 and Me
    unsigned major = 0;
    unsigned minor = 0;
};
RunningWindows QueryRunningWindows();

// True on NT-family systems of version 5.1 (XP) or later.
bool IsNt51OrLater();
