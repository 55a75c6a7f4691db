// Ready-to-install page: Next runs the installation on InstallThread and
// keeps the page while it works (every button off, Cancel refused), with
// the run's status texts and file progress. Success jumps to the first page
// after the installation; a failure is shown and the page offers Back and
// Next again (Next starts a new attempt). In unattended operation the page
// presses Next itself, and ends the wizard after a failure.
#include "BenchTrace.h"
#include "ClassicPageLayout.h"
#include "DebugLog.h"
#include "InstallRun.h"
#include "PageSupport.h"
#include "Products.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "SetupMessages.h"
#include "TextList.h"
#include "WizardPages.h"
#include "resource.h"

#include <prsht.h>

namespace {

// How many products of the product list may ask for the Windows CD.
int CdProducts(const SetupContext* context)
{
    int count = 0;
    for (int i = 0; const char* key = xUtilListEntry(context->productList, i); ++i) {
        char flags[16] = "";
        if (FindLine(context->script, key, context->productsSection, 4, flags, sizeof(flags)) &&
            (ScriptDecimal(flags) & kProductNeedsCd) != 0)
            ++count;
    }
    return count;
}

// Foreground changes are locked while shortcuts are made (the shell may
// open folders) and unlocked afterwards. LockSetForegroundWindow is looked
// up at run time: Windows 95 and NT 4 lack it.
void LockForeground(UINT code)
{
    using LockFn = BOOL(WINAPI*)(UINT);
    HMODULE user = GetModuleHandleA("user32.dll");
    auto lock = user ? reinterpret_cast<LockFn>(reinterpret_cast<void*>(GetProcAddress(user, "LockSetForegroundWindow")))
                     : nullptr;
    if (lock)
        lock(code);
}

void ShowStatus(HWND page, const SetupContext* context, int code)
{
    char text[256] = "";
    if (UINT id = NoteRunStatus(code, false))
        LoadPageString(context, id, text, sizeof(text));
    if (code == 5)
        LockForeground(1);  // LSFW_LOCK
    if (code == 6) {
        LockForeground(2);  // LSFW_UNLOCK
        BringSheetToTop(page);
    }
    SetDlgItemTextA(page, IDC_PAGE_TEXT, text);
    ShowControl(page, IDC_PROGRESS, text[0] != '\0');
}

void ShowProgress(HWND page, WPARAM step, LPARAM files)
{
    HWND bar = GetDlgItem(page, IDC_PROGRESS);
    if (step != 0) {
        SendMessageA(bar, PBM_STEPIT, 0, 0);
    } else {
        SendMessageA(bar, PBM_SETRANGE32, 0, files);
        SendMessageA(bar, PBM_SETPOS, 0, 0);
    }
}

void RunEnded(HWND page, const SetupContext* context, WPARAM success, LPARAM error)
{
    if (EndRun(page, context, success, error, *context->postInstallPage, IDS_INSTALL_FAILED, IDC_PAGE_TEXT,
               PSWIZB_BACK | PSWIZB_NEXT)) {
        BringSheetToTop(page);
        return;
    }
    SendMessageA(GetDlgItem(page, IDC_PROGRESS), PBM_SETPOS, 0, 0);
    ShowControl(page, IDC_PROGRESS, false);
}

INT_PTR OnNotify(HWND page, const NMHDR* header)
{
    SetupContext* context = PageContext(page);
    switch (header->code) {
    case PSN_SETACTIVE: {
        BENCH_MARK("ready-page");
        const bool cd = CdProducts(context) != 0;
        ShowControl(page, IDC_PAGE_TITLE, cd);
        ShowControl(page, IDC_PAGE_ICON, cd);
        SetButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        if (Unattended(context))
            PressButton(page, PSBTN_NEXT);
        return Answer(page, 0);
    }
    case PSN_QUERYCANCEL:
        return Answer(page, Busy(page) ? TRUE : FALSE);
    case PSN_WIZNEXT:
        ShowControl(page, IDC_PROGRESS, true);
        BeginRun(page, InstallThread);
        return Answer(page, -1);
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetupContext* context = InitialContext(lParam);
        SetPageContext(page, context);
        SetControlFont(page, kHeaderTitleId, context->textFont);
        SendDlgItemMessageA(page, IDC_PAGE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(context->icons[0]), 0);
        SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETSTEP, 1, 0);
        return TRUE;
    }
    case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_SETUP_STATUS:
        ShowStatus(page, PageContext(page), static_cast<int>(wParam));
        return TRUE;
    case WM_SETUP_PROGRESS:
        ShowProgress(page, wParam, lParam);
        return TRUE;
    case WM_SETUP_DONE:
        RunEnded(page, PageContext(page), wParam, lParam);
        return TRUE;
    case WM_DESTROY:
        EndRunThread(page);
        RemovePageContext(page);
        return FALSE;
    default:
        return FALSE;
    }
}
