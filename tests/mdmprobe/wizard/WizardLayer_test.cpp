// The wizard layer on the real property sheet: how a run ends (cancel,
// finish, closed by the program), pressing Next while it is disabled, page
// messages from a worker, and waiting for workers without deadlock.
#include "CommonControls.h"
#include "UiDriver.h"
#include "WizardPage.h"
#include "WizardSheet.h"
#include "WorkerThread.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace uidriver;

namespace {

constexpr UINT kTemplate = 100;
constexpr UINT kPressNext = WM_APP + 1;   // page to itself: press Next now
constexpr UINT kFromWorker = WM_APP + 2;  // worker to page, sent: wParam is a value
constexpr UINT kQueued = WM_APP + 3;      // posted to a page; only checked for in the queue

class RecordingPage : public CWizardPage
{
public:
    RecordingPage() { SetTemplate(kTemplate, 1, 1, 1); }

    std::function<void(RecordingPage&)> onActive;
    int activations = 0;
    int cancelQueries = 0;
    int resets = 0;
    bool nextWasEnabledAtPress = true;
    std::atomic<WPARAM> received{0};

    using CWizardPage::GetSheet;

protected:
    BOOL OnSetActive() override
    {
        ++activations;
        if (onActive)
            onActive(*this);
        return TRUE;
    }
    BOOL OnQueryCancel() override
    {
        ++cancelQueries;
        return TRUE;
    }
    void OnReset() override { ++resets; }
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override
    {
        if (msg == kPressNext) {
            HWND next = GetDlgItem(GetSheet()->GetSafeHwnd(), ID_WIZNEXT);
            nextWasEnabledAtPress = IsWindowEnabled(next) != FALSE;
            GetSheet()->PressButton(PSBTN_NEXT);
            return TRUE;
        }
        if (msg == kFromWorker) {
            received = wParam;
            result = 1;
            return TRUE;
        }
        return FALSE;
    }
};

// Runs the sheet on this thread while `drive` acts on it from another thread
// like a user would. The common controls are loaded first, as the program's
// start-up does, so that the driver's wait for the sheet does not include it.
INT_PTR RunDriven(CWizardSheet& sheet, const std::function<void(HWND)>& drive)
{
    InitCommonControlClasses();
    std::thread driver([&] {
        HWND window = WaitForWizard(GetCurrentProcessId(), 10000);
        if (window)
            drive(window);
    });
    INT_PTR result = sheet.DoModal();
    driver.join();
    return result;
}

TEST(WizardLayer, CancelEndsWithIdCancelAndTellsThePage)
{
    CWizardSheet sheet(GetModuleHandleA(nullptr), 1);
    RecordingPage first, second;
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    INT_PTR result = RunDriven(sheet, [](HWND w) { Press(w, WizardButton::Cancel); });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(1, first.cancelQueries);
    EXPECT_GE(first.resets, 1);
    EXPECT_EQ(0, second.activations);
}

TEST(WizardLayer, FinishOnLastPageEndsWithWizFinish)
{
    CWizardSheet sheet(GetModuleHandleA(nullptr), 1);
    RecordingPage first, second;
    second.onActive = [](RecordingPage& p) {
        p.GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    };
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    INT_PTR result = RunDriven(sheet, [](HWND w) {
        Press(w, WizardButton::Next);
        WaitFor([&] { return ButtonEnabled(w, WizardButton::Finish); }, 5000);
        Press(w, WizardButton::Finish);
    });
    EXPECT_EQ(ID_WIZFINISH, result);
    EXPECT_EQ(1, second.activations);
    EXPECT_EQ(0, first.resets + second.resets);
}

TEST(WizardLayer, EndDialogDuringActivationClosesWithItsCodeNotAsCancel)
{
    CWizardSheet sheet(GetModuleHandleA(nullptr), 1);
    RecordingPage first, second;
    second.onActive = [](RecordingPage& p) { p.GetSheet()->EndDialog(0); };
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    INT_PTR result = RunDriven(sheet, [](HWND w) { Press(w, WizardButton::Next); });
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, second.cancelQueries);
    EXPECT_EQ(0, first.resets + second.resets);
}

TEST(WizardLayer, ProgramPressesNextEvenWhileNextIsDisabled)
{
    CWizardSheet sheet(GetModuleHandleA(nullptr), 1);
    RecordingPage first, second;
    first.onActive = [](RecordingPage& p) {
        p.GetSheet()->SetWizardButtons(PSWIZB_BACK);
        PostMessageA(p.GetSafeHwnd(), kPressNext, 0, 0);
    };
    second.onActive = [](RecordingPage& p) { p.GetSheet()->EndDialog(42); };
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    EXPECT_EQ(42, sheet.DoModal());
    EXPECT_FALSE(first.nextWasEnabledAtPress);
    EXPECT_EQ(1, second.activations);
}

TEST(WizardLayer, ClassicAndWizard97LayoutsBothRun)
{
    for (bool wizard97 : {false, true}) {
        SCOPED_TRACE(wizard97 ? "Wizard 97" : "classic");
        CWizardSheet sheet(GetModuleHandleA(nullptr), 1);
        if (wizard97)
            sheet.SetWizard97(0, 0);
        RecordingPage only;
        only.onActive = [](RecordingPage& p) { p.GetSheet()->EndDialog(3); };
        sheet.AddPage(&only);
        EXPECT_EQ(3, sheet.DoModal());
        EXPECT_EQ(wizard97, sheet.IsWizard97());
    }
}

TEST(WizardLayer, WaitingForWorkerServesItsSentPageMessages)
{
    // The main thread waits for a worker that is itself inside SendMessage to
    // a page of the main thread: the wait must serve that message.
    CWizardSheet sheet(GetModuleHandleA(nullptr), 1);
    RecordingPage page;
    CWorkerThread worker;
    std::atomic<LRESULT> sendResult{0};
    struct Job
    {
        HWND page;
        std::atomic<LRESULT>* result;
    };
    Job job = {nullptr, &sendResult};
    bool postedKept = false;
    page.onActive = [&](RecordingPage& p) {
        job.page = p.GetSafeHwnd();
        worker.Start(
            [](void* arg) -> unsigned {
                auto* j = static_cast<Job*>(arg);
                Sleep(100);
                DWORD_PTR r = 0;
                SendMessageTimeoutA(j->page, kFromWorker, 7, 0, SMTO_NORMAL, 5000, &r);
                *j->result = static_cast<LRESULT>(r);
                return 0;
            },
            &job);
        PostMessageA(job.page, kQueued, 0, 0);
        worker.Wait();
        MSG queued;
        postedKept = PeekMessageA(&queued, job.page, kQueued, kQueued, PM_REMOVE) != FALSE;
        p.GetSheet()->EndDialog(0);
    };
    sheet.AddPage(&page);
    EXPECT_EQ(0, sheet.DoModal());
    EXPECT_EQ(7u, page.received.load());
    EXPECT_EQ(1, sendResult.load()) << "the worker's SendMessage timed out: the wait did not serve it";
    EXPECT_TRUE(postedKept) << "the wait must leave posted messages queued";
}

TEST(WizardLayer, ANewWorkerStartsOnlyAfterThePreviousOneEnded)
{
    CWorkerThread worker;
    static std::atomic<bool> firstDone{false};
    static std::atomic<bool> secondSawFirstDone{false};
    ASSERT_TRUE(worker.Start(
        [](void*) -> unsigned {
            Sleep(200);
            firstDone = true;
            return 0;
        },
        nullptr));
    EXPECT_TRUE(worker.IsRunning());
    ASSERT_TRUE(worker.Start(
        [](void*) -> unsigned {
            secondSawFirstDone = firstDone.load();
            return 0;
        },
        nullptr));
    worker.Wait();
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_TRUE(secondSawFirstDone);
}

}  // namespace
