#include "SetupRun.h"

#include "BenchTrace.h"
#include "BufCopy.h"
#include "CommonControls.h"
#include "Conditions.h"
#include "CopyRun.h"
#include "DebugLog.h"
#include "IconStrip.h"
#include "LoadExpandedString.h"
#include "MediumCabinets.h"
#include "MediumLock.h"
#include "MessageBoxes.h"
#include "Plugins.h"
#include "ProgramFolder.h"
#include "Products.h"
#include "Restart.h"
#include "ScriptWhole.h"
#include "ScriptSections.h"
#include "SetupState.h"
#include "TextList.h"
#include "UnattendedBoxes.h"
#include "Uninstall.h"
#include "Versions.h"
#include "Wizard.h"
#include "WizardFonts.h"
#include "resource.h"

#include <commctrl.h>
#include <setupapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

// String 1333 with the script's path and the line the Setup API named, in
// an error box owned by the hidden window. An unattended run has nobody to
// read it: its text goes to the debug log like every box answered there, so
// that a broken or cut script ends the run at once instead of holding it.
void ScriptErrorBox(HINSTANCE module, HWND owner, const char* path, UINT line, bool unattended)
{
    char format[512] = "";
    LoadStringA(module, IDS_SCRIPT_ERROR, format, sizeof(format));
    char text[1024] = "";
    BufFormat(text, sizeof(text), format, path, static_cast<int>(line));
    if (unattended)
        AnswerUnattended(owner, text, nullptr, MB_OK | MB_ICONERROR);
    else
        ShowMessageBox(owner, text, nullptr, MB_OK | MB_ICONERROR);
}

// An installation stops before anything is read from a damaged cabinet of
// the medium: an error box (the path and the system's text for a corrupt
// file), or in an unattended run its text in the debug log.
bool MediumCabinetsWhole(HINF script, HWND owner, const char* folder, const SetupOptions& options)
{
    char cabinet[MAX_PATH] = "";
    std::string problem;
    if (CheckMediumCabinets(script, folder, cabinet, sizeof(cabinet), problem))
        return true;
    const DWORD error = GetLastError();
    DebugErrorPrint("setup: the cabinet %s is damaged (%s); nothing is installed\n", cabinet, problem.c_str());
    DebugReportError(error);
    if (options.quiet)
        AnswerUnattended(owner, cabinet, nullptr, MB_OK | MB_ICONERROR);
    else
        ErrorBox(owner, cabinet, error, options.language);
    return false;
}

// The members of the context in their order: script, fonts, icons and the
// screen's colour depth (one device context), quiet value, product list and
// sections, buffers, pair list, language and shared flags, titles.
bool FillContext(SetupContext* context, SetupState* state, HINF script, HWND window, HINSTANCE module)
{
    SetupOptions& options = state->options;
    context->script = script;

    HDC dc = GetDC(window);
    context->titleFont = CreateWizardFont(dc, kWizardTitleFont, options.wizardStyle);
    context->textFont = CreateWizardFont(dc, kWizardTextFont, options.wizardStyle);
    HIMAGELIST strip = LoadIconStrip(dc, module, {IDB_ICONS_256, IDB_ICONS, IDB_ICONS_ALPHA}, 16, kMagenta,
                                     kMagenta);
    context->colourDepth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(window, dc);
    if (strip) {
        context->icons[0] = comctl::ImageListGetIcon(strip, 0, ILD_NORMAL);
        context->icons[1] = comctl::ImageListGetIcon(strip, 1, ILD_NORMAL);
        comctl::ImageListDestroy(strip);
    }

    context->quiet = options.quiet ? options.quietText : nullptr;
    // The product list grows when the components page selects more than
    // the command line could name.
    context->productListCapacity = kProductListSize;
    context->productList = static_cast<char*>(std::malloc(context->productListCapacity));
    if (!context->productList)
        return false;
    std::memcpy(context->productList, options.productList, kProductListSize);
    context->productsSection = state->sections.products;
    context->installSection = state->sections.install;
    context->removeSection = state->sections.remove;
    context->targetDirectory = state->targetDirectory;
    context->pairList = static_cast<char*>(std::calloc(2, 1));  // the empty text list
    if (!context->pairList)
        return false;

    context->language = options.language;
    context->busy = &state->busy;
    context->rebootNeeded = &state->rebootNeeded;
    context->postInstallPage = &state->postInstallPage;
    context->postRemovePage = &state->postRemovePage;
    LoadExpandedString(module, IDS_PRODUCT_TITLE, context->productTitle, sizeof(context->productTitle));
    LoadExpandedString(module, IDS_WELCOME_TEXT, context->welcomeText, sizeof(context->welcomeText));

    context->module = module;
    context->owner = window;
    context->wizardStyle = options.wizardStyle;
    context->removeMode = options.removeMode;
    context->targetSwitch = options.targetGiven ? options.target : nullptr;
    context->startApp = options.startApp;
    context->newer = options.newer;
    return true;
}

// Icons, fonts and the pair list of the context; the script stays open.
void ReleaseContext(SetupContext* context)
{
    for (HICON& icon : context->icons) {
        if (icon)
            DestroyIcon(icon);
        icon = nullptr;
    }
    if (context->titleFont)
        DeleteObject(context->titleFont);
    if (context->textFont)
        DeleteObject(context->textFont);
    context->titleFont = context->textFont = nullptr;
    std::free(context->pairList);
    std::free(context->productList);
    std::free(context->sectionList);
    context->pairList = context->productList = context->sectionList = nullptr;
}

// A removal removes only this script's products: a key of "/remove:" that
// is not in the script's key list (or reaches another registry key through
// a backslash) is refused with the failure box before any key is touched.
bool RemovalKeyListed(const SetupContext* context)
{
    const char* key = xUtilListEntry(context->productList, 0);
    if (key == nullptr || IsScriptKey(context->script, context->productsSection, context->installSection, key))
        return true;
    DebugErrorPrint("setup: /remove:%s names no product of this script; nothing is removed\n", key);
    char format[512] = "";
    LoadStringA(context->module, IDS_UNKNOWN_PRODUCT, format, sizeof(format));
    char text[kFailureTextSize] = "";
    BufFormat(text, sizeof(text), format, key);
    FailureBox(context->module, context->owner, text);
    return false;
}

// An installation holds the medium's files from their check to the end of
// the run, so that nobody can change them in between; a file that someone
// has open for writing stops it before anything is read (the failure box,
// or in an unattended run its text in the debug log).
bool HoldMedium(MediumLock* lock, HINF script, HWND owner, const char* folder, const SetupOptions& options)
{
    std::string refused;
    if (lock->Hold(script, folder, &refused))
        return true;
    const DWORD error = GetLastError();
    DebugErrorPrint("setup: the medium file %s cannot be held against changes; nothing is installed\n",
                    refused.c_str());
    DebugReportError(error);
    if (options.quiet)
        AnswerUnattended(owner, refused.c_str(), nullptr, MB_OK | MB_ICONERROR);
    else
        ErrorBox(owner, refused.c_str(), error, options.language);
    return false;
}

// The checks before the wizard and the wizard itself, on a filled context.
RunOutcome RunChecksAndWizard(SetupContext* context, SetupState* state, const char* folder)
{
    const SetupOptions& options = state->options;
    HINF script = context->script;
    MediumLock medium;  // held until the wizard and its runs have ended
    if (!options.removeMode && (!HoldMedium(&medium, script, context->owner, folder, options) ||
                                !MediumCabinetsWhole(script, context->owner, folder, options)))
        return RunOutcome::Failed;
    // The newer-version question is asked also in unattended runs: it must
    // not be answered by default, only by /newer:.
    const int newer = NewerVersionCheck(script, context->module, context->owner, context->installSection,
                                        options.newer);
    if (newer == 0)
        return RunOutcome::Cancelled;
    if (newer < 0)
        return RunOutcome::KeptNewer;
    BENCH_MARK("newer-version-check");
    if (options.quiet)
        SetMessageBoxHook(AnswerUnattended);
    if (options.removeMode && !RemovalKeyListed(context))
        return RunOutcome::Failed;

    // Conditions name libraries and exports of the script: the install
    // section's here, every product's while the products are read.
    SetConditionsHook(CheckConditions);
    char failureText[kFailureTextSize] = "";
    if (!EvaluateConditions(script, context->installSection, failureText)) {
        FailureBox(context->module, context->owner, failureText);
        return RunOutcome::Failed;
    }
    BENCH_MARK("conditions");
    if (ReadProducts(script, context->owner, context->module, context->productsSection, options.removeMode) == 0)
        return RunOutcome::Failed;
    BENCH_MARK("products");
    // A script cut short or with a misspelt section still opens: what it
    // lacks would be skipped and the run reported a success.
    char missing[512] = "";
    if (!options.removeMode && !CheckScriptWhole(script, context->installSection, context->productsSection, missing,
                                                 sizeof(missing))) {
        char path[MAX_PATH] = "";
        BufSet(path, sizeof(path), folder);
        BufAppend(path, sizeof(path), "setup.inf");
        DebugErrorPrint("setup: %s is not whole: %s; nothing is installed\n", path, missing);
        ScriptErrorBox(context->module, context->owner, path, 0, options.quiet != 0);
        return RunOutcome::Failed;
    }

    // The plug-ins of the chosen sections and products add their pages to
    // the wizard and their steps to the run; RunSetup releases them.
    CollectPlugins(script, context->installSection, context->removeSection, context->productsSection,
                   options.removeMode);
    BENCH_MARK("plugins");
    return ShowWizard(context);
}

}  // namespace

void RunSetup(HWND window, SetupState* state)
{
    auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    const SetupOptions& options = state->options;

    char folder[MAX_PATH] = "";
    ProgramFolder(folder, sizeof(folder));
    char path[MAX_PATH] = "";
    BufSet(path, sizeof(path), folder);
    BufAppend(path, sizeof(path), "setup.inf");
    UINT errorLine = 0;
    HINF script = SetupOpenInfFileA(path, nullptr, INF_STYLE_WIN4, &errorLine);
    BENCH_MARK("script-open");
    if (script == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DebugErrorPrint("setup: cannot open %s (line %u)\n", path, errorLine);
        DebugReportError(error);
        ScriptErrorBox(module, window, path, errorLine, options.quiet != 0);
        state->exitCode = kExitFailed;
        return;
    }

    ChooseSections(script, &state->sections);
    BENCH_MARK("sections");
    SetupContext context;
    RunOutcome outcome = RunOutcome::Failed;
    bool restartStarted = false;
    if (FillContext(&context, state, script, window, module)) {
        BENCH_MARK("context");
        outcome = OutcomeAfterWizard(RunChecksAndWizard(&context, state, folder), context.lastRun.load());
        // A removal's copy leaves its folder for the restart before a
        // restart is started, which may end this process.
        LeaveCopyFolderForRestart();
        // Only a wizard run can have asked for a restart (the run threads,
        // their plug-in steps, the end-of-session handler).
        if (state->rebootNeeded.load())
            restartStarted = RestartAfterRun(window, options.rebootMode, options.quiet != 0);
    } else {
        DebugErrorPrint("setup: out of memory for the setup context\n");
    }
    BENCH_MARK("after-wizard");
    SetMessageBoxHook(nullptr);
    ReleasePlugins();
    ReleaseContext(&context);
    SetupCloseInfFile(script);
    state->exitCode = ExitCodeOf(outcome, state->rebootNeeded.load() != 0, restartStarted);
}
