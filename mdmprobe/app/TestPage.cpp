#include "TestPage.h"

#include "LogFile.h"
#include "ModemCmds.h"
#include "PageMessages.h"
#include "ResString.h"
#include "TestContext.h"
#include "TestSequence.h"
#include "WizardSheet.h"
#include "resource.h"

#include <shellapi.h>

namespace {

// The result list's place on the page, in pixels.
const RECT kListRectWizard97 = {31, 37, 430, 152};
const RECT kListRectClassic = {31, 97, 430, 212};

// Hands the runner's marks to the page window by posted messages, so the
// worker never touches a window and never waits for the main thread.
class PostedProgress : public CTestProgress
{
public:
    PostedProgress(const std::atomic<HWND>& window, LPARAM run) : window_(window), run_(run) {}

    void SetCurrent(int index, bool on) override
    {
        Post(on ? TEST_EVENT_CURRENT_ON : TEST_EVENT_CURRENT_OFF, static_cast<WORD>(index));
    }
    void SetResult(int index, bool passed) override
    {
        Post(passed ? TEST_EVENT_PASSED : TEST_EVENT_FAILED, static_cast<WORD>(index));
    }
    // A window that is gone (the wizard closed) simply gets nothing.
    void Post(WORD event, WORD value) const
    {
        if (HWND window = window_.load())
            PostMessageA(window, MSG_TEST_EVENT, MAKEWPARAM(event, value), run_);
    }

private:
    const std::atomic<HWND>& window_;
    const LPARAM run_;
};

}  // namespace

BOOL CTestP::OnInitDialog()
{
    if (context_->oldStyleWizard) {
        SendMessageA(Item(IDC_HEADING), WM_SETFONT,
                     reinterpret_cast<WPARAM>(context_->headerFont), TRUE);
    }
    list_.Create(GetSafeHwnd(), context_->oldStyleWizard ? kListRectClassic : kListRectWizard97, 1);
    return TRUE;
}

BOOL CTestP::OnSetActive()
{
    SetItemText(IDC_STATUS, "");
    ShowItem(IDC_ICON_FAILURE, false);
    ShowItem(IDC_ICON_SUCCESS, false);
    if (context_->autoMode)
        RunAutomatic();
    else
        StartInteractiveRun();
    return TRUE;
}

void CTestP::RunAutomatic()
{
    // Only after a scan that found a modem; either way the wizard closes.
    if (context_->status > 0)
        RunTestSequence(*context_, TestRunner::Automatic, nullptr);
    GetSheet()->EndDialog(0);
}

void CTestP::StartInteractiveRun()
{
    GetSheet()->SetWizardButtons(PSWIZB_DISABLEDFINISH);
    EnableItem(IDC_VIEW_LOG, false);
    list_.Clear();
    for (UINT id : {IDS_ITEM_TAPI, IDS_ITEM_RAM, IDS_ITEM_CRC})
        list_.AddItem(LoadResString(id));
    if (!context_->phoneNumber.empty()) {
        list_.AddItem(LoadResString(IDS_ITEM_DIAL));
        if (!context_->modem->commands->DiagCmd.empty())
            list_.AddItem(LoadResString(IDS_ITEM_DIAG));
    }

    // A run stopped by Back ends before the next one starts and before the
    // stop flag is cleared, so two runs never share the port.
    context_->worker.Wait();
    context_->modem->stopRequested = false;
    currentRun_ = ++workerRun_;
    reportWindow_ = GetSafeHwnd();
    if (!context_->worker.Start(TestWorker, this))
        ShowVerdict(-1);  // no thread: nothing was tested, shown as a failure
}

unsigned CTestP::TestWorker(void* param)
{
    auto* page = static_cast<CTestP*>(param);
    PostedProgress progress(page->reportWindow_, page->workerRun_);
    const int32_t status = RunTestSequence(*page->context_, TestRunner::Interactive, &progress);
    progress.Post(TEST_EVENT_DONE, static_cast<WORD>(status));
    return 1;
}

void CTestP::OnTestEvent(WORD event, WORD value)
{
    const int index = static_cast<int>(value);
    switch (event) {
    case TEST_EVENT_CURRENT_ON:
    case TEST_EVENT_CURRENT_OFF:
        list_.SetCurrent(index, event == TEST_EVENT_CURRENT_ON);
        break;
    case TEST_EVENT_PASSED:
    case TEST_EVENT_FAILED:
        list_.SetResult(index, event == TEST_EVENT_PASSED, event == TEST_EVENT_FAILED);
        break;
    case TEST_EVENT_DONE:
        ShowVerdict(static_cast<int32_t>(value));
        break;
    default:
        break;
    }
}

void CTestP::ShowVerdict(int32_t status)
{
    const bool passed = status == 0;
    SetItemText(IDC_STATUS, LoadResString(passed ? IDS_TESTS_PASSED : IDS_TESTS_FAILED));
    ShowItem(IDC_STATUS, true);
    ShowItem(passed ? IDC_ICON_SUCCESS : IDC_ICON_FAILURE, true);
    EnableItem(IDC_VIEW_LOG, true);
    // The sheet's buttons belong to whichever page is shown: a run that ends
    // after the user went back leaves them to the search page.
    CWizardSheet* sheet = GetSheet();
    if (reinterpret_cast<HWND>(SendMessageA(sheet->GetSafeHwnd(), PSM_GETCURRENTPAGEHWND, 0, 0)) !=
        GetSafeHwnd())
        return;
    sheet->EnableCancel(false);
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
}

LRESULT CTestP::OnWizardBack()
{
    context_->modem->stopRequested = true;
    GetSheet()->EnableCancel(true);
    return 0;
}

BOOL CTestP::OnWizardFinish()
{
    context_->modem->stopRequested = true;
    return TRUE;
}

BOOL CTestP::OnCommand(WORD id, WORD code)
{
    if (id != IDC_VIEW_LOG || code != BN_CLICKED)
        return FALSE;
    // Notepad with the log; whether it starts is not checked, and no error
    // box may appear when it cannot.
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetSheet()->GetSafeHwnd();
    info.lpVerb = "open";
    info.lpFile = "notepad.exe";
    info.lpParameters = context_->log->GetPath();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
    return TRUE;
}

BOOL CTestP::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_DESTROY) {
        reportWindow_ = nullptr;
        return FALSE;
    }
    if (msg != MSG_TEST_EVENT)
        return FALSE;
    if (lParam == currentRun_)
        OnTestEvent(LOWORD(wParam), HIWORD(wParam));
    result = 0;
    return TRUE;
}
