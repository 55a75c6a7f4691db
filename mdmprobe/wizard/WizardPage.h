// A wizard page: one dialog template inside a CWizardSheet. Derived pages
// override the handlers below; each documents its return protocol.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

class CWizardSheet;

class CWizardPage
{
public:
    CWizardPage() = default;
    virtual ~CWizardPage() = default;
    CWizardPage(const CWizardPage&) = delete;
    CWizardPage& operator=(const CWizardPage&) = delete;

    // Template and texts (resource ids of the program). `exterior` hides the
    // Wizard 97 header (welcome and completion pages).
    void SetTemplate(UINT dialogId, UINT captionId, UINT headerTitleId = 0,
                     UINT headerSubtitleId = 0, bool exterior = false);

    HWND GetSafeHwnd() const { return hwnd_; }
    CWizardSheet* GetSheet() const { return sheet_; }

protected:
    // The page's window exists. Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // The page is about to be shown. Return TRUE to show it, FALSE to skip it.
    virtual BOOL OnSetActive() { return TRUE; }
    // Next or Back was pressed. Return 0 to move on, -1 to stay, or the
    // dialog id of the page to go to.
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }
    // Finish was pressed. Return TRUE to let the wizard end.
    virtual BOOL OnWizardFinish() { return TRUE; }
    // Cancel or the close box was pressed. Return TRUE to let the cancel happen.
    virtual BOOL OnQueryCancel() { return TRUE; }
    // The wizard is being cancelled (after OnQueryCancel agreed).
    virtual void OnReset() {}
    // WM_COMMAND from a control. Return TRUE when handled.
    virtual BOOL OnCommand(WORD /*id*/, WORD /*code*/) { return FALSE; }
    // Any other message, such as the program's page messages. Return TRUE
    // when handled; `result` is then the message's result.
    virtual BOOL OnMessage(UINT /*msg*/, WPARAM, LPARAM, LRESULT& /*result*/) { return FALSE; }

    // Control helpers (ids of this page's template).
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void ShowItem(int id, bool show) const;
    void EnableItem(int id, bool enable) const;
    void SetItemText(int id, const std::string& text) const;
    std::string GetItemText(int id) const;
    bool IsChecked(int id) const;
    void SetCheck(int id, bool checked) const;

private:
    friend class CWizardSheet;
    void FillPage(PROPSHEETPAGEA& page, HINSTANCE instance, bool wizard97);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleNotify(const NMHDR& header);

    HWND hwnd_ = nullptr;
    CWizardSheet* sheet_ = nullptr;
    UINT dialogId_ = 0;
    UINT captionId_ = 0;
    UINT headerTitleId_ = 0;
    UINT headerSubtitleId_ = 0;
    bool exterior_ = false;
};
