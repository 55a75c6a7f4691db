// The setup context: one record per setup run, filled by the start-up
// before the wizard is shown and handed to every wizard page as its page
// parameter. The run owns it; pages and the run thread only read it, except
// for the buffers and flags named below.
#pragma once

#include "NewerAnswer.h"

#include <windows.h>

#include <setupapi.h>

#include <atomic>
#include <cstddef>

enum : size_t {
    kProductTitleSize = 256,
    kWelcomeTextSize = 1024,
};

struct SetupContext
{
    HINF script = INVALID_HANDLE_VALUE;  // setup.inf, open for the whole run
    HFONT titleFont = nullptr;           // 12 points bold, exterior page titles
    HFONT textFont = nullptr;            // 8 points bold, interior page header titles
    HICON icons[2] = {};                 // images 0 and 1 of the icon strip, 16 x 16
    // Unattended run when not null: the comma-separated product keys to
    // select ("" keeps the default selection).
    const char* quiet = nullptr;
    // Text list of product keys, allocated with malloc (productListCapacity
    // bytes, at least kProductListSize): from "/install:" or "/remove:"; the
    // components page rewrites it with the selection, growing it with
    // xUtilListAppendGrow, so that any number of products fits. Freed with
    // the run.
    char* productList = nullptr;
    size_t productListCapacity = 0;
    const char* productsSection = nullptr;
    const char* installSection = nullptr;
    const char* removeSection = nullptr;
    // The run section list: a text list allocated with malloc and grown by
    // the run thread (sectionListCapacity bytes); null before the first run.
    // Freed with the run.
    char* sectionList = nullptr;
    size_t sectionListCapacity = 0;
    char* targetDirectory = nullptr;  // MAX_PATH bytes, filled by the target-directory page
    // Product/directory pairs: a text list allocated with malloc, starting as
    // the empty list; whoever grows it reallocates it here. Freed with the run.
    char* pairList = nullptr;
    LANGID language = 0;
    // Set by the run threads while they work; read by the hidden window's
    // end-of-session handler.
    std::atomic<int>* busy = nullptr;
    // Set by the run, its plug-in steps and the end-of-session handler; read
    // after the wizard for the restart.
    std::atomic<int>* rebootNeeded = nullptr;
    // Result of the last installation or removal run: -1 none yet, 0 failed,
    // 1 succeeded. Written by the run thread before its WM_SETUP_DONE, and by
    // the finish page when what it leaves for the next log-on cannot be
    // stored (pages hold the context read-only, hence mutable); read after
    // the wizard for the exit code.
    mutable std::atomic<int> lastRun{-1};
    int* postInstallPage = nullptr;  // page the wizard jumps to after an installation
    int* postRemovePage = nullptr;   // page the wizard jumps to after a removal
    char productTitle[kProductTitleSize] = {};  // string 1300
    char welcomeText[kWelcomeTextSize] = {};    // string 1310 with its continuations
    // Start-up state the wizard builds on.
    HINSTANCE module = nullptr;
    HWND owner = nullptr;  // the hidden window
    int wizardStyle = 0;   // 0 classic, otherwise Wizard 97
    int removeMode = 0;    // 1: the wizard opens at the removal page
    int colourDepth = 0;   // bits per pixel of the screen (planes times bits)
    // The deployment switches: the folder of /target: (checked, trimmed),
    // null without one; and /startapp: (0: the finish page starts nothing).
    const char* targetSwitch = nullptr;
    int startApp = 1;
    // /newer:: Replace checks a product whose installed version is newer
    // like any other, without asking.
    NewerAnswer newer = NewerAnswer::Ask;
};
