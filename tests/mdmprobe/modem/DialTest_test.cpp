// The memory and checksum checks and the test call against the modem
// simulator on COM3 (checks.profile): verdict, answer handed back, the wire.
#include "AnswerCheck.h"
#include "DialTest.h"
#include "ModemTranscript.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::ModemTranscript;
using testsupport::PreciseMs;
using testsupport::PreciseMsSince;

constexpr int32_t kConnectTimeMs = 600;

// The transcript of `port` once `ready` holds for it (or its deadline passed).
ModemTranscript Transcript(const testsupport::TranscriptCondition& ready, const std::string& port = "COM3")
{
    bool loaded = false;
    const ModemTranscript transcript = testsupport::WaitForTranscript(
        testsupport::Env(("MODEMSIM_" + port + "_TRANSCRIPT").c_str()), ready, 5000, &loaded);
    EXPECT_TRUE(loaded);
    return transcript;
}

struct StoppedCall
{
    bool passed = false;
    std::string answer;
    long stopToEndMs = 0;  // from the stop request to the end of RunDialTest
};

// A call to `number` (dial answer CONNECT, minimum speed 28800) that another
// thread stops `stopAfterMs` after its start, as Back or Cancel would.
StoppedCall CallStoppedAfter(CSerial& serial, DWORD stopAfterMs, const char* number, int32_t connectTimeMs)
{
    std::atomic<bool> stop{false};
    std::atomic<DWORD> stoppedAt{0};
    std::thread stopper([&] {
        Sleep(stopAfterMs);
        stoppedAt = PreciseMs();
        stop = true;
    });
    StoppedCall call;
    call.passed = RunDialTest(call.answer, &stop, &serial, std::string("ATDT") + number, "CONNECT", 28800,
                              connectTimeMs);
    const DWORD end = PreciseMs();
    stopper.join();
    call.stopToEndMs = static_cast<long>(end - stoppedAt.load());
    return call;
}

class ChecksTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(serial_.SetPortName("COM3") && serial_.Open()); }

    struct Call
    {
        const char* number;
        const char* dialAnswer;
        unsigned minSpeed;
        bool passed;
        const char* answer;
    };

    // Runs the calls one after the other and returns, per call, the time from
    // its call result to the "+++" that follows. Every call must show on the
    // wire as its dial command, then "+++", then "ATH".
    std::vector<long> RunCalls(const std::vector<Call>& calls)
    {
        std::string wire;
        for (const Call& call : calls) {
            std::string answer;
            const std::string dial = std::string("ATDT") + call.number;
            EXPECT_EQ(call.passed, RunDialTest(answer, &stop_, &serial_, dial, call.dialAnswer,
                                               call.minSpeed, kConnectTimeMs))
                << call.number;
            EXPECT_EQ(call.answer, answer) << call.number;
            wire += dial + "\r+++ATH\r";
        }
        transcript_ = Transcript(testsupport::ReceivedBytes(wire.size()));
        EXPECT_EQ(wire, transcript_.Received());
        std::vector<long> untilEscape;
        long result = -1;
        for (const testsupport::TranscriptEntry& e : transcript_.Entries()) {
            if (e.kind == '#' && e.text.rfind("dial-result", 0) == 0) {
                result = e.ms;
            } else if (e.kind == '<' && e.text.rfind('+', 0) == 0 && result >= 0) {
                untilEscape.push_back(e.ms - result);
                result = -1;
            }
        }
        return untilEscape;
    }

    CSerial serial_;
    std::atomic<bool> stop_{false};
    ModemTranscript transcript_;
};

TEST_F(ChecksTest, AnswerChecks)
{
    struct Case
    {
        const char* command;
        const char* text;
        bool mustBePresent;
        bool passed;
        const char* answer;
    };
    const Case cases[] = {
        {"AT%T1", "RAM ERROR", false, true, "\r\nRAM 128k\r\n\r\nOK\r\n"},
        {"AT%T2", "RAM ERROR", false, false, "\r\nRAM ERROR 1F00\r\n\r\nERROR\r\n"},
        {"AT%C", "CRC: A55A", true, true, "\r\nCRC: A55A\r\n\r\nOK\r\n"},
        {"AT%C", "CRC: 0000", true, false, "\r\nCRC: A55A\r\n\r\nOK\r\n"},
    };
    for (const Case& c : cases) {
        std::string answer = "old";
        const DWORD start = PreciseMs();
        EXPECT_EQ(c.passed, CheckCommandAnswer(answer, &stop_, &serial_, c.command, c.text,
                                               c.mustBePresent))
            << c.command << " " << c.text;
        EXPECT_GE(PreciseMsSince(start), 500u) << "the pause before the purge";
        EXPECT_EQ(c.answer, answer);
    }

    // A closed port, or none: false, nothing sent, the answer untouched.
    ASSERT_TRUE(serial_.Close());
    for (CSerial* port : {&serial_, static_cast<CSerial*>(nullptr)}) {
        std::string answer = "untouched";
        EXPECT_FALSE(CheckCommandAnswer(answer, &stop_, port, "AT%C", "", true));
        EXPECT_FALSE(RunDialTest(answer, &stop_, port, "ATDT100", "", 0, 0));
        EXPECT_EQ("untouched", answer);
    }
    const std::string sent = "AT%T1\rAT%T2\rAT%C\rAT%C\r";
    EXPECT_EQ(sent, Transcript(testsupport::ReceivedBytes(sent.size())).Received());
}

TEST_F(ChecksTest, TestCalls)
{
    const std::vector<long> untilEscape = RunCalls({
        {"100", "CONNECT", 28800, true, "CONNECT 28800/V42\r"},
        {"100", "CONNECT", 33600, false, "CONNECT 28800/V42\r"},
        {"200", "CONNECT", 0, false, "\r\nBUSY\r\n"},
        {"300", "", 28800, true, "\r\nNO CARRIER\r\n"},
        {"400", "CONNECT", 0, false, "\r\nNO ANSWER\r\n"},
    });
    EXPECT_EQ(2u, transcript_.Events("escape").size());
    EXPECT_EQ(2u, transcript_.Events("hangup").size()) << "both connections released";
    // The line is held for the connect time, except after BUSY and NO
    // ANSWER, which also end the wait at once.
    ASSERT_EQ(5u, untilEscape.size());
    for (size_t i : {0, 1, 3})
        EXPECT_GE(untilEscape[i], kConnectTimeMs) << i;
    for (size_t i : {2, 4})
        EXPECT_LT(untilEscape[i], 500) << i;
}

// A modem that never reports a call result: about a minute, then "TimeOut !",
// even with an empty dial answer text (which accepts any result that came).
TEST_F(ChecksTest, TestCallTimesOut)
{
    const DWORD start = PreciseMs();
    RunCalls({{"900", "", 0, false, "TimeOut !"}});
    EXPECT_GE(PreciseMsSince(start), 60000u);
    EXPECT_LT(PreciseMsSince(start), 75000u);
}

// A modem that sends text without end instead of a call result: every read
// of the wait then lasts its whole second, yet the wait still ends after
// about a minute, and the line is released as after every call.
TEST_F(ChecksTest, TestCallUnderAFloodEndsAfterAMinuteToo)
{
    std::string answer;
    const DWORD start = PreciseMs();
    EXPECT_FALSE(RunDialTest(answer, &stop_, &serial_, "ATDT901", "CONNECT", 0, kConnectTimeMs));
    const DWORD ms = PreciseMsSince(start);
    EXPECT_GE(ms, 60000u);
    EXPECT_LT(ms, 75000u);
    EXPECT_NE(std::string::npos, answer.find("abcabcabc")) << "the text that came is the answer";
    const std::string sent = "ATDT901\r+++ATH\r";
    EXPECT_EQ(sent, Transcript(testsupport::ReceivedBytes(sent.size())).Received());
}

// A stop ends the wait for the call result and the hold of a connection at
// once; the call is still hung up.
TEST_F(ChecksTest, StopEndsTheCallAndHangsUp)
{
    // 500 connects with a bare CONNECT, which is no final call result: the
    // wait would go on for a minute. 100 connects at 28800; the hold would
    // last 20 s.
    const StoppedCall waiting = CallStoppedAfter(serial_, 1500, "500", kConnectTimeMs);
    const StoppedCall holding = CallStoppedAfter(serial_, 1500, "100", 20000);
    std::printf("stop to end of the call: %ld ms waiting, %ld ms holding\n", waiting.stopToEndMs,
                holding.stopToEndMs);
    EXPECT_FALSE(waiting.passed) << "no speed figure";
    EXPECT_EQ("CONNECT\r", waiting.answer);
    EXPECT_TRUE(holding.passed);
    EXPECT_EQ("CONNECT 28800/V42\r", holding.answer);
    // One poll (250 ms), then "+++" with its guard time (300 ms) and "ATH".
    for (long ms : {waiting.stopToEndMs, holding.stopToEndMs}) {
        EXPECT_GE(ms, 300) << "the hang-up still goes out";
        EXPECT_LT(ms, 2000);
    }

    const ModemTranscript transcript = Transcript(testsupport::HasEvents("hangup", 2));
    EXPECT_EQ("ATDT500\r+++ATH\rATDT100\r+++ATH\r", transcript.Received());
    EXPECT_EQ(2u, transcript.Events("escape").size());
    EXPECT_EQ(2u, transcript.Events("hangup").size()) << "both connections released";
}

// The modem took the dial command's CR, but its echo never came, so the
// request failed; a stop meanwhile still hangs up the call it dials.
TEST_F(ChecksTest, StopAfterTheDialCommandReachedTheModemHangsUp)
{
    CSerial lostLineEnd;
    ASSERT_TRUE(lostLineEnd.SetPortName("COM4") && lostLineEnd.Open());
    const StoppedCall call = CallStoppedAfter(lostLineEnd, 1500, "500", kConnectTimeMs);
    EXPECT_FALSE(call.passed);
    EXPECT_EQ("TimeOut !", call.answer);

    const ModemTranscript transcript = Transcript(
        [](const ModemTranscript& t) { return t.Received().size() >= 15 && !t.Events("dial-abort").empty(); },
        "COM4");
    EXPECT_EQ("ATDT500\r+++ATH\r", transcript.Received());
    EXPECT_EQ(1u, transcript.Events("dial 500").size());
    EXPECT_EQ(1u, transcript.Events("dial-abort").size()) << "the hang-up ended the dialling";
    EXPECT_TRUE(transcript.Events("dial-result").empty());
}

}  // namespace
