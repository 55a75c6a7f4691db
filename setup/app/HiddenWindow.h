// The installer's hidden main window. It is never shown; its first message
// runs the whole setup (SetupRun.h), and it owns the wizard and the boxes.
// While a run thread works, it refuses to let Windows end the session and
// marks the run as needing a restart instead.
#pragma once

#include <windows.h>

struct SetupState;

constexpr char kSetupWindowClass[] = "SETUP";

// Registers the window class and creates the window, 100 x 100 at 0,0,
// without showing it. `state` must outlive the window. The window posts
// WM_SETUP_START to itself, runs the setup on it, closes, and posts the
// quit message (code 0) when destroyed. Returns null with the thread's last
// error when the class or the window cannot be made.
HWND CreateSetupWindow(HINSTANCE module, SetupState* state);
