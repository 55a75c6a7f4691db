// Target-directory page: the directory to install into, proposed from the
// script's default, typed (with completion where the shell offers it) or
// chosen with the folder browser. Every change to an absolute path is
// applied to the Setup API's directory identifiers at once; Next only for
// an absolute path whose identifiers all could be set. The page skips itself when an earlier installation from this script
// settled the directories (they are used again), and in unattended
// operation. /target: proposes its folder in place of the default. Network paths are refused like relative ones (a share's
// permissions are not the machine's); Next warns once when the folder
// exists and users without administrator rights may write to it.
#include "BufCopy.h"
#include "BrowseForTarget.h"
#include "ClassicPageLayout.h"
#include "DebugLog.h"
#include "PageRules.h"
#include "MessageBoxes.h"
#include "PageSupport.h"
#include "RunLog.h"
#include "TargetFolder.h"
#include "TextList.h"
#include "Uninstall.h"
#include "WizardPages.h"
#include "resource.h"

#include <prsht.h>

namespace {

const DWORD kAutoCompleteFlags = 0x11;  // SHACF_FILESYSTEM | SHACF_USETAB
const char kAssignedProperty[] = "SetupTargetAssigned";
const char kWarnedProperty[] = "SetupTargetWarned";

// The context's pair list is a malloc'd text list; the engine grows it
// through a PairList record, after which it is stored back (it may move).
PairList BorrowPairs(const SetupContext* context)
{
    return PairList{context->pairList, xUtilListSize(context->pairList)};
}

void ReturnPairs(SetupContext* context, const PairList& pairs)
{
    context->pairList = pairs.texts;
}

// File-system completion in the edit box, when the shell's light-weight
// utility library is loaded and has it (it came with Internet Explorer 5).
void EnableCompletion(HWND edit)
{
    using AutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);
    HMODULE shlwapi = GetModuleHandleA("shlwapi.dll");
    auto complete = shlwapi ? reinterpret_cast<AutoCompleteFn>(
                                  reinterpret_cast<void*>(GetProcAddress(shlwapi, "SHAutoComplete")))
                            : nullptr;
    if (complete)
        complete(edit, kAutoCompleteFlags);
}

bool Assigned(HWND page)
{
    return GetPropA(page, kAssignedProperty) != nullptr;
}

void UpdateButtons(HWND page)
{
    SetButtons(page, Assigned(page) ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

void InitPage(HWND page, SetupContext* context)
{
    SetControlFont(page, kHeaderTitleId, context->textFont);
    // Completion is for typing; an unattended run never shows the page.
    if (!Unattended(context))
        EnableCompletion(GetDlgItem(page, IDC_TARGET_DIR));
    char path[MAX_PATH] = "", subDir[MAX_PATH] = "";
    DefaultDirectory(context->script, path, subDir);
    // /target: proposes its folder instead of the script's default.
    if (context->targetSwitch != nullptr)
        BufSet(path, sizeof(path), context->targetSwitch);
    PairList pairs = BorrowPairs(context);
    const int registered = RecallDirectories(context->script, context->productsSection, context->installSection,
                                             path, context->targetDirectory, &pairs);
    ReturnPairs(context, pairs);
    if (registered != 0 && context->targetSwitch != nullptr) {
        DebugPrint(2, "setup: /target: is not used: a product of this script is installed in %s\n",
                   context->targetDirectory);
        RunLogPrint("/target:%s is not used: a product of this script is installed in %s", context->targetSwitch,
                    context->targetDirectory);
    }
    if (registered == 0) {
        SetPageContext(page, context);
        SetDlgItemTextA(page, IDC_TARGET_DIR, path);  // applies it (EN_CHANGE)
    }
}

// A drive letter mapped to a share counts as a network path.
bool OnNetworkDrive(const char* path)
{
    const char root[] = {path[0], ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}

// The edit box changed: the trimmed text becomes the target directory and,
// when it is an absolute path, is applied to the directory identifiers.
// The Setup API itself takes any text, even an empty one (files would land
// in the current drive's root).
void ApplyTarget(HWND page, SetupContext* context)
{
    GetDlgItemTextA(page, IDC_TARGET_DIR, context->targetDirectory, MAX_PATH);
    TrimTargetDirectory(context->targetDirectory);
    int assigned = 0;
    if (IsAbsoluteTarget(context->targetDirectory) && !OnNetworkDrive(context->targetDirectory)) {
        PairList pairs = BorrowPairs(context);
        assigned = AssignDirectories(context->script, context->productsSection, context->installSection,
                                     context->targetDirectory, &pairs);
        ReturnPairs(context, pairs);
    }
    if (assigned)
        SetPropA(page, kAssignedProperty, reinterpret_cast<HANDLE>(1));
    else
        RemovePropA(page, kAssignedProperty);
    UpdateButtons(page);
}

// Next: an existing folder that users without administrator rights may
// write to is named in a warning, once per run; Cancel there stays on the
// page to choose another. Returns the page's answer to PSN_WIZNEXT.
LONG_PTR ConfirmTarget(HWND page, const SetupContext* context)
{
    if (GetPropA(page, kWarnedProperty) != nullptr || !TargetWritableByUsers(context->targetDirectory))
        return 0;
    SetPropA(page, kWarnedProperty, reinterpret_cast<HANDLE>(1));
    char format[512] = "", caption[128] = "", text[1024] = "";
    LoadPageString(context, IDS_TARGET_WRITABLE, format, sizeof(format));
    LoadPageString(context, IDS_WARNING, caption, sizeof(caption));
    BufFormat(text, sizeof(text), format, context->targetDirectory);
    return ShowMessageBox(SheetOf(page), text, caption, MB_OKCANCEL | MB_ICONWARNING) == IDOK ? 0 : -1;
}

void Browse(HWND page, const SetupContext* context)
{
    char path[MAX_PATH] = "", subDir[MAX_PATH] = "";
    DefaultDirectory(context->script, path, subDir);
    char chosen[MAX_PATH] = "";
    if (BrowseForTarget(page, chosen, subDir))
        SetDlgItemTextA(page, IDC_TARGET_DIR, chosen);
}

}  // namespace

INT_PTR CALLBACK TargetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitPage(page, InitialContext(lParam));
        return TRUE;
    case WM_COMMAND: {
        SetupContext* context = PageContext(page);
        if (!context)
            return FALSE;
        if (LOWORD(wParam) == IDC_TARGET_DIR && HIWORD(wParam) == EN_CHANGE) {
            ApplyTarget(page, context);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_BROWSE && HIWORD(wParam) == BN_CLICKED) {
            Browse(page, context);
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            const SetupContext* context = PageContext(page);
            if (!context || Unattended(context))
                return Answer(page, -1);
            UpdateButtons(page);
            return Answer(page, 0);
        }
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_WIZNEXT) {
            const SetupContext* context = PageContext(page);
            return Answer(page, context ? ConfirmTarget(page, context) : 0);
        }
        return FALSE;
    case WM_DESTROY:
        RemovePageContext(page);
        RemovePropA(page, kAssignedProperty);
        RemovePropA(page, kWarnedProperty);
        return FALSE;
    default:
        return FALSE;
    }
}
