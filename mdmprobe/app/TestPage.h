// The test page: runs the test sequence and shows its progress and verdict.
//
// Interactive mode: activation fills the result list and starts TestWorker,
// which reports by posting MSG_TEST_EVENT to the page; the page updates its
// list, verdict and the sheet's buttons on the main thread. Automatic mode:
// activation runs the sequence on the main thread and closes the wizard.
#pragma once

#include "ResultList.h"
#include "WizardPage.h"

#include <atomic>
#include <cstdint>

struct TestContext;

class CTestP : public CWizardPage
{
public:
    explicit CTestP(TestContext* context) : context_(context) {}

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;
    BOOL OnCommand(WORD id, WORD code) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The interactive runner's thread entry; `param` is the page. Returns 1.
    static unsigned TestWorker(void* param);

    void StartInteractiveRun();
    void RunAutomatic();
    void OnTestEvent(WORD event, WORD value);
    void ShowVerdict(int32_t status);

    TestContext* context_;
    CResultList list_;
    // Where the worker posts, and the number of the run it reports for: both
    // set before the worker starts; the window is cleared when it goes away.
    std::atomic<HWND> reportWindow_{nullptr};
    LPARAM workerRun_ = 0;
    LPARAM currentRun_ = 0;  // events of other runs are dropped
};
