// The finish page and the removal-finished page: the restart note when the
// run asked for a restart, only Finish, no Cancel; in unattended operation
// they press Finish themselves. The finish page offers "Start %s now" for
// the install section's `StartApp` program, which Finish starts (or, with a
// restart pending, registers to run once at the next log-on).
#include "BenchTrace.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "PageSupport.h"
#include "RunLog.h"
#include "RunOnce.h"
#include "ScriptLines.h"
#include "WizardPages.h"
#include "resource.h"
#include "usystem.h"

#include <prsht.h>

namespace {

const char kStartApp[] = "StartApp";

bool RestartPending(const SetupContext* context)
{
    return context->rebootNeeded && context->rebootNeeded->load() != 0;
}

void InitFinishPage(HWND page, LPARAM lParam)
{
    SetupContext* context = InitialContext(lParam);
    SetPageContext(page, context);
    SetControlFont(page, IDC_PAGE_TITLE, context->titleFont);
    SendDlgItemMessageA(page, IDC_PAGE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(context->icons[0]), 0);
}

// Restart note, buttons and the unattended Finish of both pages.
void ActivateFinishPage(HWND page, const SetupContext* context)
{
    BENCH_MARK("finish-page");
    const bool restart = RestartPending(context);
    ShowControl(page, IDC_PAGE_TEXT, restart);
    ShowControl(page, IDC_PAGE_ICON, restart);
    EnableCancel(page, false);
    SetButtons(page, PSWIZB_FINISH);
    if (Unattended(context))
        PressButton(page, PSBTN_FINISH);
}

// The check box "Start %s now" with the display name of `StartApp`,
// checked; hidden when the install section has no such line.
void OfferStartApp(HWND page, const SetupContext* context)
{
    char name[1024] = "";
    // /startapp:0 offers nothing, so that nothing is started or left to start.
    const bool offered = context->startApp != 0 &&
                         FindLine(context->script, kStartApp, context->installSection, 1, name, sizeof(name));
    if (offered) {
        char format[256] = "";
        LoadPageString(context, IDS_START_APP, format, sizeof(format));
        char text[1300] = "";
        BufFormat(text, sizeof(text), format, name);
        SetDlgItemTextA(page, IDC_START_APP, text);
        CheckDlgButton(page, IDC_START_APP, BST_CHECKED);
    }
    ShowControl(page, IDC_START_APP, offered);
}

// Finish with the box checked: the `StartApp` program starts now (the page
// waits until it is ready for input), or at the next log-on when Windows
// is to restart first. A program named without a folder is the system
// folder's. A run-once command that cannot be stored whole fails the run:
// a cut one would start something else.
void StartApp(HWND page, const SetupContext* context)
{
    if (context->startApp == 0 || IsDlgButtonChecked(page, IDC_START_APP) != BST_CHECKED)
        return;
    char name[1024] = "", program[MAX_PATH] = "", arguments[MAX_PATH] = "";
    if (!FindLine(context->script, kStartApp, context->installSection, 1, name, sizeof(name)) ||
        !FindLine(context->script, kStartApp, context->installSection, 2, program, sizeof(program)))
        return;
    FindLine(context->script, kStartApp, context->installSection, 3, arguments, sizeof(arguments));
    char path[MAX_PATH] = "";
    if (!xUtilProgramPath(program, path, sizeof(path)))
        BufSet(path, sizeof(path), program);
    if (!RestartPending(context)) {
        RunLogAction("start-program", path, "%s", arguments);
        xUtilStartProgram(path, arguments, kStartWaitForIdle, nullptr);
    } else if (RegisterRunOnce(name, path, arguments)) {
        RunLogAction("start-program", path, "at the next log-on (run once): %s", arguments);
    } else {
        const DWORD error = GetLastError();
        DebugErrorPrint("setup: the StartApp program %s %s cannot be registered to start at the next log-on; "
                        "the run fails\n",
                        path, arguments);
        DebugReportError(error);
        context->lastRun.store(0);
    }
}

INT_PTR FinishProc(HWND page, UINT message, LPARAM lParam, bool offersStartApp)
{
    switch (message) {
    case WM_INITDIALOG:
        InitFinishPage(page, lParam);
        return TRUE;
    case WM_NOTIFY: {
        const SetupContext* context = PageContext(page);
        switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            if (offersStartApp)
                OfferStartApp(page, context);
            ActivateFinishPage(page, context);
            return Answer(page, 0);
        case PSN_WIZFINISH:
            if (offersStartApp)
                StartApp(page, context);
            NoteWizardFinished();
            return Answer(page, FALSE);
        default:
            return FALSE;
        }
    }
    case WM_DESTROY:
        RemovePageContext(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return FinishProc(page, message, lParam, true);
}

INT_PTR CALLBACK RemovalFinishedPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    return FinishProc(page, message, lParam, false);
}
