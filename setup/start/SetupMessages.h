// Private window messages of the installer, declared in one place.
#pragma once

#include <windows.h>

enum : UINT {
    // Hidden window: posted to itself when it has been created; runs the
    // whole setup. wParam and lParam 0.
    WM_SETUP_START = WM_USER,
};
