#include "TestSequence.h"

#include "AnswerCheck.h"
#include "CallResult.h"
#include "DiagTest.h"
#include "DialTest.h"
#include "InstalledModem.h"
#include "LogFile.h"
#include "ModemCmds.h"
#include "RunReport.h"
#include "Serial.h"
#include "TestContext.h"

#include <string>
#include <utility>

namespace {

const char kRule[] = "\n==========================================================\n";

// Progress marks; the automatic runner has none.
class Marks
{
public:
    explicit Marks(CTestProgress* progress) : progress_(progress) {}
    void Current(int index, bool on) const
    {
        if (progress_)
            progress_->SetCurrent(index, on);
    }
    void Result(int index, bool passed) const
    {
        if (progress_)
            progress_->SetResult(index, passed);
    }

private:
    CTestProgress* progress_;
};

// Both runners in one: the texts that differ are chosen by `automatic`.
class Sequence
{
public:
    Sequence(TestContext& context, bool automatic, CTestProgress* progress)
        : context_(context), modem_(*context.modem), commands_(*modem_.commands),
          log_(*context.log), report_(context.report), automatic_(automatic), marks_(progress)
    {
    }

    int32_t Run()
    {
        context_.status = 0;
        StartReport();
        log_.Write(kRule).Write(automatic_ ? "================  START OF THE MODEM TESTS  =============="
                                           : "===================== BEGIN MODEM TESTS ==================");
        Tapi();
        Ram();
        Crc();
        if (!context_.phoneNumber.empty()) {
            DialAndDiag();
        } else {
            NotRun(kTestDial, kReasonNoNumber);
            NotRun(kTestDiag, kReasonNoNumber);
        }
        log_.Write(kRule).Write("=======================  END OF EMI  =====================").Write(kRule);
        return context_.status;
    }

private:
    void Fail(int32_t bit) { context_.status |= bit; }

    bool Stopped() const { return modem_.stopRequested.load(); }
    bool PortOpen() const { return modem_.serialPort && modem_.serialPort->IsOpen(); }

    // The report keeps the latest run only.
    void StartReport()
    {
        report_.testsRan = true;
        for (TestReport& test : report_.tests)
            test = TestReport();
        report_.call = CallReport();
        report_.diagRecords.clear();
    }

    void NotRun(int test, const char* reason) { report_.tests[test].reason = reason; }

    // A test that a stop request preceded or cut short has no verdict of its
    // own (its answer was cut off): it counts as not run.
    void Report(int test, bool ok, bool stopped, bool sent, const std::string& command)
    {
        TestReport& entry = report_.tests[test];
        if (stopped) {
            entry.reason = kReasonCancelled;
            return;
        }
        entry.outcome = ok ? TestOutcome::Passed : TestOutcome::Failed;
        entry.sent = sent;
        if (sent) {
            entry.command = command;
            entry.answer = reply_;
        }
    }

    void Tapi()
    {
        log_.Write("\n\n======================  TAPI  TEST  ======================\n"
                   "Result of TAPI-Test : Modem ");
        marks_.Current(kItemTapi, true);
        const bool stopped = Stopped();  // the check itself cannot be cut short
        const bool ok = IsModemInstalled(modem_.tapiModemName);
        Report(kTestTapi, ok, stopped, false, std::string());
        if (!ok) {
            Fail(STATUS_TAPI_FAILED);
            log_.Write("NOT ");
        }
        marks_.Result(kItemTapi, ok);
        log_.Write("found on TAPI.");
        marks_.Current(kItemTapi, false);
    }

    void Ram()
    {
        if (automatic_) {
            log_.Write("\n\n======================  RAM  TEST  =======================\n"
                       "Command send to the modem for this test : ");
            log_.WriteRaw(commands_.RAMCheckCmd);
        } else {
            log_.Write("\n\n=======================  RAM  TEST  ======================")
                .Write("\nCommand send to the modem for this test : ")
                .Write(commands_.RAMCheckCmd);
        }
        reply_.clear();
        marks_.Current(kItemRam, true);
        const bool sent = PortOpen();
        const bool ok = CheckCommandAnswer(reply_, &modem_.stopRequested, modem_.serialPort,
                                           commands_.RAMCheckCmd, commands_.RAMCheckError, false);
        Report(kTestRam, ok, Stopped(), sent, commands_.RAMCheckCmd);
        log_.Write("\nAnsw. for this test : ").Write(reply_).Write("\nResult of RAM-Test  : Ram-Test ");
        Verdict(kItemRam, ok, STATUS_RAM_FAILED, "OK.", "not OK !");
    }

    void Crc()
    {
        log_.Write("\n\n======================  CRC  CHECK  ======================\n"
                   "Command send to the modem for this test : ");
        log_.WriteRaw(commands_.CRCCheckCmd);
        marks_.Current(kItemCrc, true);
        reply_.clear();
        const bool sent = PortOpen();
        const bool ok = CheckCommandAnswer(reply_, &modem_.stopRequested, modem_.serialPort,
                                           commands_.CRCCheckCmd, commands_.CRCCheckAnswer, true);
        Report(kTestCrc, ok, Stopped(), sent, commands_.CRCCheckCmd);
        log_.Write("\nAnsw. for this test : ");
        if (automatic_)
            log_.Write(reply_);
        else
            log_.WriteRaw(reply_);
        log_.Write("\nResult of CRC-Test  : CRC-Check ");
        if (automatic_)
            Verdict(kItemCrc, ok, STATUS_CRC_FAILED, "OK.", "not OK !");
        else
            Verdict(kItemCrc, ok, STATUS_CRC_FAILED, "OK.\n", "not OK !\n");
    }

    void DialAndDiag()
    {
        log_.Write(automatic_ ? "\n\n======================  DIAL TEST  ======================="
                              : "\n======================  DIAL TEST  =======================");
        marks_.Current(kItemDial, true);
        const std::string dialCommand =
            (context_.noDialTone ? commands_.DialCmdNoDialT : commands_.DialCmd) + context_.phoneNumber;
        log_.Write("\nCommand send to the modem for this test : ");
        log_.WriteRaw(dialCommand);
        log_.Write("\nMinSpeed required   : ")
            .Write(std::to_string(modem_.minSpeed))
            .Write("\nTest connection time: ")
            .Write(std::to_string(modem_.connectTime))
            .Write("ms");
        reply_.clear();
        const bool sent = PortOpen();
        std::string received;
        const bool ok = RunDialTest(reply_, &modem_.stopRequested, modem_.serialPort, dialCommand,
                                    commands_.DialAnswer, static_cast<unsigned>(modem_.minSpeed),
                                    modem_.connectTime, &received);
        const bool stopped = Stopped();
        Report(kTestDial, ok, stopped, sent, dialCommand);
        ReportCall(received);
        log_.Write("\nAnsw. for this test : ").Write(reply_);
        const bool withDiag = !commands_.DiagCmd.empty();
        if (!withDiag)
            NotRun(kTestDiag, kReasonNoCommand);
        if (ok) {
            log_.Write("\nResult of DIAL-Test : Connection OK !\n");
            marks_.Result(kItemDial, true);
            marks_.Current(kItemDial, false);
            if (withDiag) {
                marks_.Current(kItemDiag, true);
                DiagReading reading;
                const bool diagOk = RunDiagnosticTest(log_, *context_.definitionFile, &modem_.stopRequested,
                                                      *modem_.serialPort, commands_, &reading);
                reply_ = reading.answer;
                Report(kTestDiag, diagOk, Stopped(), reading.sent, commands_.DiagCmd);
                if (diagOk)
                    report_.diagRecords = std::move(reading.records);
                Verdict(kItemDiag, diagOk, STATUS_DIAG_FAILED, "Result of DIAG-Test : DiagnosticTest OK.\n",
                        "Result of DIAG-Test : DiagnosticTest not OK !\n");
            }
            return;
        }
        // Without a connection the diagnostic readout is not tried; it is
        // marked failed, but only the call's bit is set.
        Fail(STATUS_DIAL_FAILED);
        log_.Write("\nResult of DIAL-Test : Connection not OK !\n");
        marks_.Result(kItemDial, false);
        marks_.Current(kItemDial, false);
        if (withDiag) {
            log_.Write("\n======================  DIAG TEST  =======================\n"
                       "Result of DIAG-Test : not tested because NO CONNECTION !\n");
            marks_.Result(kItemDiag, false);
            NotRun(kTestDiag, stopped ? kReasonCancelled : kReasonCallFailed);
        }
    }

    void ReportCall(const std::string& received)
    {
        CallReport& call = report_.call;
        const CallFacts facts = DescribeCall(received, commands_.DialAnswer);
        call.number = context_.phoneNumber;
        call.result = facts.result;
        call.speedRead = facts.speedRead;
        call.speed = facts.speed;
        call.minSpeed = modem_.minSpeed;
        call.connectTime = modem_.connectTime;
    }

    // Logs the verdict text, sets the bit on failure, marks the item and
    // clears its current mark.
    void Verdict(int index, bool ok, int32_t bit, const char* passedText, const char* failedText)
    {
        if (ok) {
            log_.Write(passedText);
        } else {
            Fail(bit);
            log_.Write(failedText);
        }
        marks_.Result(index, ok);
        marks_.Current(index, false);
    }

    TestContext& context_;
    ModemInfo& modem_;
    const ModemCmds& commands_;
    CLogFile& log_;
    RunReport& report_;
    const bool automatic_;
    const Marks marks_;
    std::string reply_;  // the modem's answer of the latest test
};

}  // namespace

int32_t RunTestSequence(TestContext& context, TestRunner runner, CTestProgress* progress)
{
    return Sequence(context, runner == TestRunner::Automatic, progress).Run();
}
