// The phases of an installation or removal run, in their fixed order, on
// the run thread. The page window that started the run receives the status
// messages (WM_SETUP_STATUS, posted), owns the Setup API's dialogs and is
// the progress window of the file copy (WM_SETUP_PROGRESS).
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <atomic>

// Carries out the run over `sections` (the run section list, a text list):
//  1. queue the file operations of every section (copies only onto older or
//     equal versions), from the program's directory (the medium);
//  2. Exec programs of level 1; plug-in steps of level 0; status 2;
//  3. stop services (one that does not stop asks for a restart); plug-in
//     steps of level 1; status 3;
//  4. commit the file queue (FileQueueCallback); files left in use ask for a
//     restart; plug-in steps of level 2; status 4;
//  5. INI, registry and INI-to-registry entries of every section; firewall
//     entries; file security; plug-in steps of level 4;
//  6. delete and create services; plug-in steps of level 3; status 5;
//  7. shortcuts; plug-in steps of level 5; status 6;
//  8. start services (one that does not start asks for a restart); status
//     -1; Exec programs of level 2, then, with `*busy` 0 so that Windows may
//     end the session meanwhile, those of level 3.
// Plug-in steps run with the installation flag !`removing`; only levels 0
// and 1 get the file queue. With `unattended` a missing source file fails
// the commit instead of asking, and no shortcut folder is opened.
// Returns 1, or 0 with the failing call's error as the last error when a
// section's files cannot be queued, the commit fails, a section's entries
// cannot be written, or a service cannot be deleted or created; the phases
// done before stay done.
int PerformRun(HINF script, const char* sections, HWND page, std::atomic<int>* busy, int removing,
               std::atomic<int>* rebootNeeded, const char* targetDirectory, int unattended);
