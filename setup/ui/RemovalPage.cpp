// Removal page, where the wizard opens in remove mode: the product to be
// removed with its name and icon; Next runs the removal on RemoveThread and
// keeps the page while it works (no buttons, Cancel refused). Success jumps
// to the removal-finished page; a failure is shown and Next tries again. In
// unattended operation the page presses Next itself, and ends the wizard
// after a failure.
#include "CommonControls.h"
#include "FitStaticText.h"
#include "InstallRun.h"
#include "PageSupport.h"
#include "Placement.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "SetupMessages.h"
#include "ShellFunctions.h"
#include "TextList.h"
#include "Uninstall.h"
#include "WizardPages.h"
#include "resource.h"

#include <prsht.h>

#include <cstring>

namespace {

const char kIconProperty[] = "SetupRemovalIcon";
const COLORREF kTeal = RGB(0, 128, 128);

// The icon a product line's field 5 names: "<index>@<file>" is that small
// icon of the file's installed copy, a plain number that image of the
// component images. The caller destroys it; null when there is none.
HICON ProductIcon(const SetupContext* context, const char* field)
{
    int index = 0;
    const char* file = nullptr;
    if (SplitIconReference(field, &index, &file)) {
        char path[MAX_PATH] = "";
        HICON icon = nullptr;
        if (FindSetupPath(context->script, file, context->installSection, context->productsSection, path))
            shell::ExtractIconEx(path, index, nullptr, &icon, 1);
        return icon;
    }
    HIMAGELIST images = comctl::ImageListLoadImage(context->module, MAKEINTRESOURCEA(IDB_COMPONENTS), 16, 0, kTeal,
                                             IMAGE_BITMAP, 0);
    HICON icon = images ? comctl::ImageListGetIcon(images, ScriptDecimal(field), ILD_NORMAL) : nullptr;
    if (images)
        comctl::ImageListDestroy(images);
    return icon;
}

// Display name (`name`, 1024 bytes) and icon of the first key of the
// product list: from its products line, else, for the whole product, from
// the install section's `Uninstall` line.
HICON DescribeProduct(const SetupContext* context, char* name, size_t size)
{
    const char* first = xUtilListEntry(context->productList, 0);
    const char* key = first ? first : "";
    name[0] = '\0';
    if (key[0] != '\0' && FindLine(context->script, key, context->productsSection, 1, name, size)) {
        char icon[MAX_PATH] = "";
        if (FindLine(context->script, key, context->productsSection, 5, icon, sizeof(icon)))
            return ProductIcon(context, icon);
        return nullptr;
    }
    char uninstallKey[256] = "";
    if (FindLine(context->script, "Uninstall", context->installSection, 1, uninstallKey, sizeof(uninstallKey)) &&
        (key[0] == '\0' || xUtilEqualNoCase(key, uninstallKey)))
        FindLine(context->script, "Uninstall", context->installSection, 2, name, size);
    return nullptr;
}

void InitRemovalPage(HWND page, SetupContext* context)
{
    SetPageContext(page, context);
    // The remove sections use the directory identifiers of the installation.
    RecallDirectories(context->script, context->productsSection, context->installSection, nullptr,
                      context->targetDirectory, nullptr);
    char name[1024] = "";
    HICON icon = DescribeProduct(context, name, sizeof(name));
    SetControlFont(page, IDC_PAGE_TITLE, context->titleFont);
    SetControlFont(page, IDC_PAGE_TEXT, context->textFont);
    SetDlgItemTextA(page, IDC_PAGE_TITLE, context->productTitle);
    SetDlgItemTextA(page, IDC_PAGE_TEXT, name);
    if (icon) {
        SetPropA(page, kIconProperty, icon);
        SendDlgItemMessageA(page, IDC_PAGE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    FitStaticText(page, IDC_PAGE_TEXT, nullptr, nullptr, kFitKeepDialogSize);
    CenterWindowOver(SheetOf(page), GetDesktopWindow());
}

void ShowStatus(HWND page, const SetupContext* context, int code)
{
    char text[256] = "";
    if (UINT id = NoteRunStatus(code, true))
        LoadPageString(context, id, text, sizeof(text));
    SetDlgItemTextA(page, IDC_PAGE_STATUS, text);
}

INT_PTR OnNotify(HWND page, const NMHDR* header)
{
    const SetupContext* context = PageContext(page);
    switch (header->code) {
    case PSN_SETACTIVE:
        SetButtons(page, PSWIZB_NEXT);
        if (Unattended(context))
            PressButton(page, PSBTN_NEXT);
        return Answer(page, 0);
    case PSN_QUERYCANCEL:
        return Answer(page, Busy(page) ? TRUE : FALSE);
    case PSN_WIZNEXT:
        BeginRun(page, RemoveThread);
        return Answer(page, -1);
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK RemovalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitRemovalPage(page, InitialContext(lParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_SETUP_STATUS:
        ShowStatus(page, PageContext(page), static_cast<int>(wParam));
        return TRUE;
    case WM_SETUP_DONE: {
        const SetupContext* context = PageContext(page);
        EndRun(page, context, wParam, lParam, *context->postRemovePage, IDS_REMOVE_FAILED, IDC_PAGE_STATUS,
               PSWIZB_NEXT);
        return TRUE;
    }
    case WM_DESTROY:
        EndRunThread(page);
        RemovePageContext(page);
        if (HICON icon = static_cast<HICON>(RemovePropA(page, kIconProperty)))
            DestroyIcon(icon);
        return FALSE;
    default:
        return FALSE;
    }
}
