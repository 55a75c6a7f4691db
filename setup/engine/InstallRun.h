// The installation and removal run on its own thread, started by the ready
// page (installation) or the removal page (removal) of the wizard.
//
// The page that starts a thread passes its own window; the thread finds the
// setup context through it (PageContext) and reports to it with the messages
// of SetupMessages.h: WM_SETUP_STATUS (posted) per phase, WM_SETUP_PROGRESS
// (from the Setup API, sent) per file, and WM_SETUP_DONE (posted) last. The
// page sets its busy mark before it creates the thread, refuses Cancel and
// disables the wizard's buttons until WM_SETUP_DONE arrives.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <atomic>

// Thread entry points (CreateThread); `page` is the starting page's HWND.
// Both return 0; the outcome arrives as WM_SETUP_DONE.
DWORD WINAPI InstallThread(LPVOID page);
DWORD WINAPI RemoveThread(LPVOID page);
