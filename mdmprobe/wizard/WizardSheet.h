// A property sheet in wizard mode, run modally, in the Wizard 97 or the
// classic layout.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

class CWizardPage;

// Control ids of the wizard buttons inside the sheet; ID_WIZFINISH is also
// what DoModal returns after Finish.
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025;

class CWizardSheet
{
public:
    explicit CWizardSheet(HINSTANCE instance, UINT captionId);
    CWizardSheet(const CWizardSheet&) = delete;
    CWizardSheet& operator=(const CWizardSheet&) = delete;

    // Selects the Wizard 97 layout with its watermark and header bitmaps.
    // Without this call the sheet uses the classic wizard layout.
    void SetWizard97(UINT watermarkId, UINT headerId);
    bool IsWizard97() const { return wizard97_; }

    // Pages are shown in the order they are added; the sheet does not own them.
    void AddPage(CWizardPage* page);

    // Runs the wizard and returns when it has closed: IDCANCEL when the user
    // cancelled or closed it, ID_WIZFINISH after Finish, the code given to
    // EndDialog, or -1 when the sheet could not be created.
    INT_PTR DoModal(HWND owner = nullptr);

    // Closes the wizard with `code`; this is not a cancel. May be called from
    // a page handler: the sheet closes once the current message is done.
    void EndDialog(int code);

    HWND GetSafeHwnd() const { return hwnd_; }

    // PSWIZB_* flags for the Back, Next and Finish buttons.
    void SetWizardButtons(DWORD flags) const;
    // Presses a wizard button (PSBTN_*) synchronously, as the user would.
    // Next and Finish are pressed even while disabled: the button is enabled
    // for the press (automatic runs advance past a disabled Next).
    void PressButton(int button) const;
    void EnableCancel(bool enable) const;

private:
    friend class CWizardPage;
    void Attach(HWND hwnd) { if (!hwnd_) hwnd_ = hwnd; }

    HINSTANCE instance_;
    UINT captionId_;
    bool wizard97_ = false;
    UINT watermarkId_ = 0;
    UINT headerId_ = 0;
    std::vector<CWizardPage*> pages_;
    HWND hwnd_ = nullptr;
    bool finished_ = false;   // a page accepted Finish
    bool ending_ = false;     // EndDialog was called
    int endCode_ = 0;
};
