// Saves what a window shows on the screen as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

// Repaints `window` and its children, then copies its client area as the
// screen shows it into `path`. False when the window or the file cannot be
// used.
bool SaveWindowPicture(HWND window, const std::string& path);
