// The dialog procedures of the wizard's built-in pages. Each receives the
// setup context as its page parameter. Main thread only; no exception
// leaves them.
#pragma once

#include "SetupContext.h"

#include <windows.h>

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LicencePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TargetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RemovalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RemovalFinishedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The default target directory of the script (`path`, 260 bytes): with
// `DefaultDestDir` = 24,<sub-directory> the program-files folder and the
// sub-directory, otherwise the Setup API's default target directory.
// `subDir` (260 bytes) receives field 2 of that line ("" without one).
void DefaultDirectory(HINF script, char* path, char* subDir);
