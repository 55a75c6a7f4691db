#include "WizardPage.h"

#include "WizardSheet.h"

#include <vector>

void CWizardPage::SetTemplate(UINT dialogId, UINT captionId, UINT headerTitleId,
                              UINT headerSubtitleId, bool exterior)
{
    dialogId_ = dialogId;
    captionId_ = captionId;
    headerTitleId_ = headerTitleId;
    headerSubtitleId_ = headerSubtitleId;
    exterior_ = exterior;
}

void CWizardPage::FillPage(PROPSHEETPAGEA& page, HINSTANCE instance, bool wizard97)
{
    page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(dialogId_);
    page.pfnDlgProc = DialogProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    if (captionId_) {
        page.dwFlags |= PSP_USETITLE;
        page.pszTitle = MAKEINTRESOURCEA(captionId_);
    }
    if (wizard97) {
        if (exterior_) {
            page.dwFlags |= PSP_HIDEHEADER;
        } else {
            if (headerTitleId_) {
                page.dwFlags |= PSP_USEHEADERTITLE;
                page.pszHeaderTitle = MAKEINTRESOURCEA(headerTitleId_);
            }
            if (headerSubtitleId_) {
                page.dwFlags |= PSP_USEHEADERSUBTITLE;
                page.pszHeaderSubTitle = MAKEINTRESOURCEA(headerSubtitleId_);
            }
        }
    }
}

INT_PTR CALLBACK CWizardPage::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        if (msg == WM_INITDIALOG) {
            // The system hands over its own copy of the page record; its
            // lParam is the page object.
            auto* page = reinterpret_cast<CWizardPage*>(
                reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
            SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
            page->hwnd_ = hwnd;
            page->sheet_->Attach(GetParent(hwnd));
            return page->OnInitDialog();
        }
        auto* page = reinterpret_cast<CWizardPage*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        if (!page)
            return FALSE;
        switch (msg) {
        case WM_NOTIFY:
            return page->HandleNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            return page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NCDESTROY:
            page->hwnd_ = nullptr;
            SetWindowLongPtrA(hwnd, DWLP_USER, 0);
            return FALSE;
        default: {
            LRESULT result = 0;
            if (!page->OnMessage(msg, wParam, lParam, result))
                return FALSE;
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        }
    } catch (...) {
        return FALSE;  // no exception may leave a window procedure
    }
}

INT_PTR CWizardPage::HandleNotify(const NMHDR& header)
{
    LRESULT result = 0;
    switch (header.code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        break;
    case PSN_WIZNEXT:
        result = OnWizardNext();
        break;
    case PSN_WIZBACK:
        result = OnWizardBack();
        break;
    case PSN_WIZFINISH:
        if (OnWizardFinish()) {
            sheet_->finished_ = true;
            result = FALSE;
        } else {
            result = TRUE;  // keep the wizard open
        }
        break;
    case PSN_QUERYCANCEL:
        // A close requested by the program (EndDialog) is not the user's
        // cancel: it is not put to the page.
        result = (sheet_->ending_ || OnQueryCancel()) ? FALSE : TRUE;
        break;
    case PSN_RESET:
        if (!sheet_->ending_)
            OnReset();
        break;
    default:
        return FALSE;
    }
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

void CWizardPage::ShowItem(int id, bool show) const
{
    ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE);
}

void CWizardPage::EnableItem(int id, bool enable) const
{
    EnableWindow(Item(id), enable);
}

void CWizardPage::SetItemText(int id, const std::string& text) const
{
    SetDlgItemTextA(hwnd_, id, text.c_str());
}

std::string CWizardPage::GetItemText(int id) const
{
    HWND item = Item(id);
    int length = item ? GetWindowTextLengthA(item) : 0;
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    int got = GetWindowTextA(item, text.data(), length + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

bool CWizardPage::IsChecked(int id) const
{
    return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

void CWizardPage::SetCheck(int id, bool checked) const
{
    CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
