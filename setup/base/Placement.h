// Placing the wizard on the right monitor.
#pragma once

#include <windows.h>

// Work area of the monitor nearest `window`. The monitor functions are
// looked up at run time (Windows 95 and NT 4 lack them); without them, or
// when they fail, the primary work area.
void GetWorkAreaOf(HWND window, RECT* area);

// Centres `window` over `reference` (or over the primary work area when
// nullptr) and keeps it inside the work area of its monitor. Moves without
// resizing, without changing the z-order and without activating.
void CenterWindowOver(HWND window, HWND reference);
