// Private window messages of the installer, declared in one place.
#pragma once

#include <windows.h>

enum : UINT {
    // Hidden window: posted to itself when it has been created; runs the
    // whole setup. wParam and lParam 0.
    WM_SETUP_START = WM_USER,

    // Run thread -> the page that started it (posted): the run's current
    // phase in wParam (2 to 6, then -1 when the run's main work is done);
    // lParam 0.
    WM_SETUP_STATUS = WM_USER + 10,
    // Setup API default queue callback -> the page as its progress window
    // (sent): wParam 0 starts a batch of lParam files; a non-zero wParam
    // reports one file done.
    WM_SETUP_PROGRESS = WM_USER + 11,
    // Run thread -> page (posted last): wParam 1 success, 0 failure; lParam
    // 0 on success, else the system error code of the failure.
    WM_SETUP_DONE = WM_USER + 12,
};
