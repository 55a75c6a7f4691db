// Welcome page: the product title in the title font and the welcome text;
// skipped in unattended operation.
#include "PageSupport.h"
#include "Placement.h"
#include "WizardPages.h"
#include "resource.h"

#include <prsht.h>

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetupContext* context = InitialContext(lParam);
        SetPageContext(page, context);
        SetControlFont(page, IDC_PAGE_TITLE, context->titleFont);
        SetDlgItemTextA(page, IDC_PAGE_TITLE, context->productTitle);
        SetDlgItemTextA(page, IDC_PAGE_TEXT, context->welcomeText);
        CenterWindowOver(SheetOf(page), GetDesktopWindow());
        return TRUE;
    }
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            if (Unattended(PageContext(page)))
                return Answer(page, -1);
            SetButtons(page, PSWIZB_NEXT);
            return Answer(page, 0);
        }
        return FALSE;
    case WM_DESTROY:
        RemovePageContext(page);
        return FALSE;
    default:
        return FALSE;
    }
}
