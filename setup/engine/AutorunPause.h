// Tells the product CD's autorun program that a setup is running, so that
// it can pause: a named mutex that exists as long as this process runs, and
// a message to the autorun program's window when there is one.
#pragma once

#include <windows.h>

constexpr char kAutorunPauseMutex[] = "VantorAutorunPauseMutex";
constexpr char kAutorunWindowClass[] = "VantorAutorunClass";
enum : UINT { kAutorunPauseMessage = WM_APP + 1 };  // 32769, both parameters 0

// Creates the mutex (not owned; its handle is never closed) and posts
// kAutorunPauseMessage to the first top-level window of class
// kAutorunWindowClass. Never fails visibly.
void PauseAutorun();
