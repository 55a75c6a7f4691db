// CSerial::Request against the modem simulator: the wire (transcript with
// time stamps), result, answer and trace. Lower time bounds catch a skipped
// wait; upper bounds are generous for a loaded machine.
#include "SerialFixture.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace serialtest;
using testsupport::TranscriptEntry;

class RequestTest : public SerialTest
{
protected:
    void SetUp() override
    {
        SerialTest::SetUp();
        ASSERT_TRUE(serial_.Open());
    }

    // Runs one request, checks its result and returns its wall time in ms.
    static DWORD Timed(CSerial& port, bool expected, const std::string& command,
                       std::string* answer, unsigned flags, DWORD limitMs, int retries = 0,
                       const std::atomic<bool>* cancel = nullptr)
    {
        DWORD start = PreciseMs();
        EXPECT_EQ(expected, port.Request(command, answer, flags, cancel, limitMs, retries))
            << command;
        return PreciseMsSince(start);
    }
};

// Every use of the program, with its flags and time limit.
TEST_F(RequestTest, UsesOfTheProgram)
{
    // Detect and diagnostic: one write; scroll CRs (echoed) until the answer
    // comes after 900 ms.
    std::string answer;
    DWORD ms = Timed(serial_, true, "ATI", &answer, REQ_NO_ECHO | REQ_SCROLL, 10000);
    EXPECT_GE(ms, 900u);
    EXPECT_LT(ms, 3000u);
    std::string wire = Transcript(testsupport::ReceivedBytes(6)).Received();
    size_t scrolls = wire.size() - 4;
    EXPECT_EQ("ATI\r" + std::string(scrolls, '\r'), wire);
    EXPECT_GE(scrolls, 2u);
    EXPECT_LE(scrolls, 4u);
    EXPECT_EQ(std::string(scrolls, '\r') + "\r\nModel 56\r\n\r\nOK\r\n", answer);

    // Name, firmware, memory and checksum: each character waits for its echo.
    size_t before = TranscriptNow().OfKind('<').size();
    Timed(serial_, true, "AT+GMR", &answer, REQ_SCROLL, 10000);
    EXPECT_EQ("\r\n+GMR: \"1.42\"\r\n\r\nOK\r\n", answer);
    std::vector<TranscriptEntry> sent = Transcript(testsupport::HasEntries('<', before + 7)).OfKind('<');
    ASSERT_EQ(before + 7, sent.size());
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(std::string(1, "AT+GMR\r"[i]), sent[before + i].text);

    // Dial: true once the echoed line is back, long before the CONNECT.
    answer = "untouched";
    EXPECT_LT(Timed(serial_, true, "ATDT0123", &answer, REQ_NO_ANSWER, 10000), 700u);
    EXPECT_EQ("untouched", answer);
    EXPECT_TRUE(TranscriptNow().Events("dial-result").empty());
    std::string connect;
    serial_.ReadAll(connect, 3000, 250);
    ASSERT_EQ("\r\nCONNECT 28800/V42\r\n", connect);

    // Escape after the guard time: the OK comes one guard time (500 ms) later.
    Sleep(600);
    EXPECT_GE(Timed(serial_, true, "+++", &answer, REQ_NO_ECHO | REQ_NO_CR, 2000), 500u);
    EXPECT_EQ("\r\nOK\r\n", answer);
    // Hang-up in online command mode.
    Timed(serial_, true, "ATH", &answer, REQ_NO_ECHO, 10000);
    EXPECT_EQ("\r\nOK\r\n", answer);
    testsupport::ModemTranscript transcript = Transcript(testsupport::HasEvents("hangup"));
    EXPECT_EQ(1u, transcript.Events("escape").size());
    EXPECT_EQ(1u, transcript.Events("hangup").size());
    EXPECT_EQ("ATDT0123\r+++ATH\r", transcript.Received().substr(wire.size() + 7));
}

TEST_F(RequestTest, EchoOffFailsAfterTheEleventhTryWithoutAnotherAttempt)
{
    CSerial echoOff;
    ASSERT_TRUE(echoOff.SetPortName("COM5") && echoOff.Open());
    std::string answer = "untouched";
    // 11 echo waits of 100, 150, ... 600 ms and 10 pauses of 300 ms.
    DWORD ms = Timed(echoOff, false, "ATI", &answer, 0, 10000, 1);
    EXPECT_GE(ms, 6800u);
    EXPECT_LT(ms, 10000u);
    EXPECT_EQ("untouched", answer);
    EXPECT_FALSE(echoOff.LineEndSent());
    EXPECT_TRUE(Traced("CSerial::Request: New Timeout set to: 600 ms\n"));
    EXPECT_EQ(1, TraceCount("CSerial::Request: Error Retries!"));
    EXPECT_EQ(0, TraceCount("\n#####################\n\nCSerial::Request: COMMAND <ATI>; Try 2"));

    // Only the first character, restarted after echo limit + 300 ms, no CR.
    std::vector<TranscriptEntry> sent = Transcript(testsupport::HasEntries('<', 11), "COM5").OfKind('<');
    ASSERT_EQ(11u, sent.size());
    // The lower bounds are taken from the first character on: under load one
    // character may be received late, which shortens the next gap alone,
    // while a restart that comes too early shortens every sum after it.
    long since = 0;
    for (size_t i = 1; i < sent.size(); ++i) {
        EXPECT_EQ("A", sent[i].text);
        long expected = 400 + 50 * static_cast<long>(i - 1);
        since += expected;
        EXPECT_GE(sent[i].ms - sent[0].ms, since - 25) << "restart " << i;
        EXPECT_LE(sent[i].ms - sent[i - 1].ms, expected + 400) << "restart " << i;
    }
}

TEST_F(RequestTest, WrongEchoSendsTheWholeCommandAgain)
{
    std::string answer;
    Timed(serial_, true, "AT&V", &answer, 0, 10000);
    EXPECT_EQ(1, TraceCount("CSerial::Request: No echo return!"));
    std::vector<TranscriptEntry> sent = Transcript(testsupport::HasEntries('<', 8)).OfKind('<');
    ASSERT_EQ(8u, sent.size());  // A T & (echoed wrong), A T & V CR
    EXPECT_EQ("A", sent[3].text);
    EXPECT_GE(sent[3].ms - sent[2].ms, 290) << "pause before the restart";
}

TEST_F(RequestTest, FinalResultsNeedTheirLineEndExceptNok)
{
    // "\r\nNOK\r\n" also holds "OK\r\n": false, without waiting for the deadline.
    std::string answer;
    EXPECT_LT(Timed(serial_, false, "ATNOK", &answer, REQ_SCROLL, 10000), 2500u);
    EXPECT_EQ("\r\nNOK\r\n", answer);
    EXPECT_TRUE(Traced("CSerial::Request: \"NOK\" found in modem string, exiting.\n"));

    // OK in three bursts 400 ms apart is found once they are joined. (With
    // REQ_SCROLL the echo of a scroll CR would land between the bursts.)
    TraceLines().clear();
    EXPECT_GE(Timed(serial_, true, "ATSPLIT", &answer, 0, 10000), 800u);
    EXPECT_EQ("\r\nOK\r\n", answer);
    EXPECT_EQ(3, TraceCount("CSerial::ReadAll: Read: "));

    // OK without line end: deadline, then the 500 ms pause.
    DWORD ms = Timed(serial_, false, "ATNOEOL", &answer, 0, 1500);
    EXPECT_EQ("\r\nOK", answer);
    EXPECT_GE(ms, 1950u);
    EXPECT_LT(ms, 3500u);
}

TEST_F(RequestTest, RetriesAfterErrorKeepTheLastAnswer)
{
    std::string answer;
    Timed(serial_, false, "ATERR", &answer, REQ_SCROLL, 10000, 2);
    EXPECT_EQ("\r\n3\r\nERROR\r\n", answer);
    EXPECT_EQ(3, TraceCount("CSerial::Request: Result: Error -1 "));

    // Each next attempt starts after the 250 ms of silence that ends the
    // ERROR burst and the 500 ms pause.
    std::vector<long> errorAt, restartAt;
    testsupport::ModemTranscript transcript = Transcript([](const testsupport::ModemTranscript& t) {
        int errors = 0;
        for (const TranscriptEntry& e : t.OfKind('>'))
            errors += e.text.find("ERROR") != std::string::npos;
        return errors >= 3;
    });
    for (const TranscriptEntry& e : transcript.Entries()) {
        if (e.kind == '>' && e.text.find("ERROR") != std::string::npos)
            errorAt.push_back(e.ms);
        if (e.kind == '<' && e.text == "A" && restartAt.size() < errorAt.size())
            restartAt.push_back(e.ms);
    }
    ASSERT_EQ(3u, errorAt.size());
    ASSERT_EQ(2u, restartAt.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_GE(restartAt[i] - errorAt[i], 725) << "attempt " << i + 2;
        EXPECT_LE(restartAt[i] - errorAt[i], 1500) << "attempt " << i + 2;
    }
}

// A modem that sends text without a line end after a command: the wait for
// the echoed line end ends with the request's time limit instead of reading
// on for as long as the text comes (a stop request ends it otherwise).
TEST_F(RequestTest, LineEndWaitEndsAtTheTimeLimitUnderAFlood)
{
    CSerial flooding;
    ASSERT_TRUE(flooding.SetPortName("COM6") && flooding.Open());
    std::atomic<bool> cancel{false}, done{false};
    bool result = true;
    DWORD ms = 0;
    std::thread request([&] {
        const DWORD start = PreciseMs();
        result = flooding.Request("AT+FLOOD", nullptr, REQ_NO_ECHO, &cancel, 1500, 0);
        ms = PreciseMsSince(start);
        done = true;
    });
    for (int waited = 0; waited < 10000 && !done; waited += 10)
        Sleep(10);
    const bool endedByItself = done;
    cancel = true;
    request.join();
    EXPECT_TRUE(endedByItself) << "still reading the flood after 10 s";
    EXPECT_FALSE(result);
    EXPECT_GE(ms, 1400u);
    EXPECT_LT(ms, 4000u);
    std::string sent;
    for (const TranscriptEntry& entry : TranscriptNow("COM6").OfKind('>'))
        sent += entry.text;
    EXPECT_EQ(0u, sent.find("AT+FLOODabcabc")) << "the flood comes after the echo";
}

TEST_F(RequestTest, SilentPort)
{
    CSerial silent;
    ASSERT_TRUE(silent.SetPortName("COM4") && silent.Open());

    // Scroll: one CR every 250 ms until the deadline (a fixed schedule: one CR
    // late under load is followed by a shorter gap); the empty answer is
    // handed back at the normal end.
    std::string answer = "untouched";
    DWORD ms = Timed(silent, false, "ATQ", &answer, REQ_NO_ECHO | REQ_NO_CR | REQ_SCROLL, 2000);
    EXPECT_GE(ms, 2450u) << "deadline and pause";
    EXPECT_LT(ms, 4000u);
    EXPECT_EQ("", answer);
    EXPECT_FALSE(silent.LineEndSent()) << "REQ_NO_CR";
    std::vector<TranscriptEntry> sent = TranscriptNow("COM4").OfKind('<');
    ASSERT_GE(sent.size(), 8u) << "the command and CRs at 250, 500, ... 1750 ms";
    EXPECT_LE(sent.size(), 9u);
    EXPECT_EQ("ATQ\r\r\r\r\r\r\r", TranscriptNow("COM4").Received().substr(0, 10));
    for (size_t i = 2; i < sent.size(); ++i) {
        EXPECT_GE(sent[i].ms - sent[i - 1].ms, 150) << i;
        EXPECT_LE(sent[i].ms - sent[i - 1].ms, 600) << i;
    }

    // The detect command: the echoed line end never comes; false after 2500 ms.
    answer = "untouched";
    ms = Timed(silent, false, "ATI", &answer, REQ_NO_ECHO | REQ_SCROLL, 10000);
    EXPECT_GE(ms, 2450u);
    EXPECT_LT(ms, 4000u);
    EXPECT_EQ("untouched", answer);
    EXPECT_TRUE(silent.LineEndSent()) << "the CR went out; only its echo is missing";
    EXPECT_TRUE(Traced("CSerial::Request: Error reading character!\n"));
}

TEST_F(RequestTest, CancelEndsTheRequestAtOnce)
{
    std::atomic<bool> cancel{true};
    std::string answer = "untouched";
    EXPECT_LT(Timed(serial_, false, "AT", &answer, 0, 10000, 0, &cancel), 50u);
    EXPECT_EQ("", TranscriptNow().Received()) << "set before the call: nothing goes out";

    // Set from another thread while the answer (due after 3 s) is awaited.
    cancel = false;
    std::atomic<DWORD> setAt{0};
    std::thread canceller([&] {
        Sleep(600);
        setAt = PreciseMs();
        cancel = true;
    });
    Timed(serial_, false, "ATWAIT", &answer, 0, 10000, 0, &cancel);
    DWORD latency = PreciseMs() - setAt;
    canceller.join();
    EXPECT_EQ("untouched", answer);
    EXPECT_TRUE(Traced("CSerial::Request: Action aborted by user!\n"));
    EXPECT_LT(latency, 100u) << "ms from the cancel to the end of the request";
    std::printf("cancel to end of request: %lu ms\n", latency);
    EXPECT_TRUE(serial_.LineEndSent()) << "cancelled after the line went out";
    EXPECT_EQ(0u, Transcript(testsupport::ReceivedBytes(7)).Received().find("ATWAIT\r"))
        << "the first cancel sent nothing before it";
    EXPECT_FALSE(serial_.Request("AT", &answer, 0, &cancel, 10000, 0));
    EXPECT_FALSE(serial_.LineEndSent()) << "every request starts without a line end";
}

}  // namespace
