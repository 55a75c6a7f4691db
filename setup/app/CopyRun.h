// The copy's side of a removal that runs from a copy (RemovalCopy.h): the
// internal switch is taken only from a copy's folder, the running installed
// program is handed to the file queue to be moved aside, and at the end the
// copy's folder is left to be deleted at the next restart, for which no
// restart is asked (nothing of the product waits for it).
#pragma once

#include "SetupCommandLine.h"

// For a run with kRemovalCopySwitch: checks that the program runs from a
// copy's folder, a folder "removal-" and 16 hexadecimal digits directly in
// the Windows folder's Temp, no reparse point, that no user without
// administrator rights may write to (where the system can tell). Then the
// registered program of the removed key (RegisteredProgram) is the one the
// file queue moves aside into this folder, and true is returned. Otherwise
// the switch is marked invalid in `options` (the run ends with 1639) and
// false is returned. Main thread, before the run.
bool StartCopyRun(SetupOptions* options);

// After a run that StartCopyRun accepted: schedules every file of the
// copy's folder and then the folder for deletion at the next restart, once
// (the run calls it before it starts a restart, the program's end again).
// Nothing happens otherwise.
void LeaveCopyFolderForRestart();
