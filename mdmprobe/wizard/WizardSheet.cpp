#include "WizardSheet.h"

#include "CommonControls.h"
#include "WizardPage.h"

CWizardSheet::CWizardSheet(HINSTANCE instance, UINT captionId)
    : instance_(instance), captionId_(captionId)
{
}

void CWizardSheet::SetWizard97(UINT watermarkId, UINT headerId)
{
    wizard97_ = true;
    watermarkId_ = watermarkId;
    headerId_ = headerId;
}

void CWizardSheet::AddPage(CWizardPage* page)
{
    page->sheet_ = this;
    pages_.push_back(page);
}

INT_PTR CWizardSheet::DoModal(HWND owner)
{
    std::vector<PROPSHEETPAGEA> records(pages_.size());
    for (size_t i = 0; i < pages_.size(); ++i)
        pages_[i]->FillPage(records[i], instance_, wizard97_);

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hwndParent = owner;
    header.hInstance = instance_;
    header.pszCaption = MAKEINTRESOURCEA(captionId_);
    header.nPages = static_cast<UINT>(records.size());
    header.ppsp = records.data();
    if (wizard97_) {
        header.dwFlags |= PSH_WIZARD97 | PSH_WATERMARK | PSH_HEADER;
        header.pszbmWatermark = MAKEINTRESOURCEA(watermarkId_);
        header.pszbmHeader = MAKEINTRESOURCEA(headerId_);
    }

    hwnd_ = nullptr;
    finished_ = false;
    ending_ = false;
    endCode_ = 0;
    INT_PTR result = comctl::PropertySheet(&header);
    hwnd_ = nullptr;
    if (result < 0)
        return -1;
    if (ending_)
        return endCode_;
    return finished_ ? ID_WIZFINISH : IDCANCEL;
}

void CWizardSheet::EndDialog(int code)
{
    if (!hwnd_)
        return;
    ending_ = true;
    endCode_ = code;
    // The sheet ends through its Cancel path once the caller's handler has
    // returned; the pages let it pass without asking (see CWizardPage).
    PostMessageA(hwnd_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void CWizardSheet::SetWizardButtons(DWORD flags) const
{
    if (hwnd_)
        PostMessageA(hwnd_, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

void CWizardSheet::PressButton(int button) const
{
    if (!hwnd_)
        return;
    int control = button == PSBTN_NEXT ? ID_WIZNEXT : button == PSBTN_FINISH ? ID_WIZFINISH : 0;
    if (control) {
        HWND item = GetDlgItem(hwnd_, control);
        if (item && !IsWindowEnabled(item))
            EnableWindow(item, TRUE);
    }
    SendMessageA(hwnd_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

void CWizardSheet::EnableCancel(bool enable) const
{
    if (HWND cancel = hwnd_ ? GetDlgItem(hwnd_, IDCANCEL) : nullptr)
        EnableWindow(cancel, enable);
}
