// The series of tests on the identified modem: installed as a Windows modem
// (TAPI), memory (RAM), stored checksum (CRC), test call (DIAL) and
// diagnostic readout (DIAG). Each test's command, answer and verdict go to the
// test log; each failure sets its bit in the run status.
//
// Two runners share the order, the commands and the verdict rules and differ
// in a few log texts: the interactive one (the test page's worker thread,
// which marks its progress in the page's result list) and the automatic one
// (the test page's activation on the main thread, without marks).
#pragma once

#include <cstdint>

struct TestContext;

// Result-list positions of the tests; DIAL and DIAG exist only when they run.
constexpr int kItemTapi = 0;
constexpr int kItemRam = 1;
constexpr int kItemCrc = 2;
constexpr int kItemDial = 3;
constexpr int kItemDiag = 4;

// Receives the progress marks of the interactive runner, on the runner's
// thread. `index` is one of the kItem* positions.
class CTestProgress
{
public:
    virtual ~CTestProgress() = default;
    virtual void SetCurrent(int index, bool on) = 0;
    // Passed (clears failed) or failed (clears passed).
    virtual void SetResult(int index, bool passed) = 0;
};

enum class TestRunner { Interactive, Automatic };

// Runs the whole series on context.modem (its port open from the scan).
// context.status is reset to 0 and collects the STATUS_*_FAILED bits, which
// are also returned. DIAL runs only with a phone number, DIAG only after a
// call that passed and only with a DiagCmd. `progress` may be null. Every
// request watches ModemInfo::stopRequested: once it is set the remaining
// tests end early, but their log texts and the closing banner are written.
int32_t RunTestSequence(TestContext& context, TestRunner runner, CTestProgress* progress);
