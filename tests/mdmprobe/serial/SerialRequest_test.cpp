// CSerial::Request against the modem simulator: what goes over the wire and
// when (the simulator's transcript with its time stamps), the result, the
// answer handed back, and the step trace. Timing checks keep lower bounds that
// catch a skipped wait and generous upper bounds for a loaded machine.
#include "SerialFixture.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace serialtest;
using testsupport::ModemTranscript;
using testsupport::TranscriptEntry;

const std::atomic<bool>* const kNoCancel = nullptr;

// Number of times `c` occurs in `text`.
size_t CountOf(const std::string& text, char c)
{
    size_t n = 0;
    for (char t : text)
        n += t == c;
    return n;
}

class RequestTest : public SerialTest
{
protected:
    void SetUp() override
    {
        SerialTest::SetUp();
        ASSERT_TRUE(serial_.Open());
    }

    // A second port object, open on another mapped port.
    static void OpenOther(CSerial& other, const char* port)
    {
        ASSERT_TRUE(other.SetPortName(port));
        ASSERT_TRUE(other.Open());
    }
};

// The program's uses of the request, each with its flags and time limit.
TEST_F(RequestTest, IdentificationAndQueryUses)
{
    // Detect and diagnostic commands: one write, scroll CRs while the modem
    // thinks (its answer comes after 900 ms).
    std::string answer;
    DWORD start = PreciseMs();
    EXPECT_TRUE(serial_.Request("ATI", &answer, REQ_NO_ECHO | REQ_SCROLL, kNoCancel, 10000, 0));
    DWORD elapsed = PreciseMsSince(start);
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3000u) << "ended on OK, not at the 10 s deadline";
    EXPECT_TRUE(Traced("CSerial::Request: Ignore echo!\n"));
    EXPECT_TRUE(Traced("CSerial::Request: \"OK\" found in modem string, exiting.\n"));

    ModemTranscript wire = Transcript();
    std::vector<TranscriptEntry> sent = wire.OfKind('<');
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(0u, sent[0].text.find("ATI")) << "the command in one write";
    std::string received = wire.Received();
    EXPECT_EQ(0u, received.find("ATI\r"));
    size_t scrolls = CountOf(received, '\r') - 1;
    EXPECT_GE(scrolls, 2u) << "CRs at 250 and 500 ms at least";
    EXPECT_LE(scrolls, 4u);
    EXPECT_EQ(scrolls, static_cast<size_t>(TraceCount("CSerial::Request: no sign and scroll on")));
    // The modem echoes the scroll CRs; they lead the answer.
    EXPECT_EQ(std::string(scrolls, '\r') + "\r\nModel 56\r\n\r\nOK\r\n", answer);

    // Name, firmware, memory and checksum commands: each character waits for
    // its echo, so each is a write of its own on the wire.
    TraceLines().clear();
    size_t before = sent.size();
    EXPECT_TRUE(serial_.Request("AT+GMR", &answer, REQ_SCROLL, kNoCancel, 10000, 0));
    EXPECT_EQ("\r\n+GMR: \"1.42\"\r\n\r\nOK\r\n", answer);
    EXPECT_TRUE(Traced("CSerial::Request: Try to write\n"));
    EXPECT_TRUE(Traced("\t\t5.: R\n"));
    EXPECT_EQ(0, TraceCount("CSerial::Request: no sign and scroll on")) << "the answer came at once";
    sent = Transcript().OfKind('<');
    ASSERT_EQ(before + 7, sent.size());
    const std::string command = "AT+GMR\r";
    for (size_t i = 0; i < command.size(); ++i)
        EXPECT_EQ(std::string(1, command[i]), sent[before + i].text) << i;
}

TEST_F(RequestTest, TestCallUses)
{
    // Dial: true once the echoed line is back, long before the modem connects.
    std::string answer = "untouched";
    DWORD start = PreciseMs();
    EXPECT_TRUE(serial_.Request("ATDT0123", &answer, REQ_NO_ANSWER, kNoCancel, 10000, 0));
    EXPECT_LT(PreciseMsSince(start), 700u);
    EXPECT_EQ("untouched", answer);
    EXPECT_TRUE(Traced("CSerial::Request: End cause ignore answer\n"));
    EXPECT_TRUE(Transcript(0).Events("dial-result").empty());
    std::string connect;
    serial_.ReadAll(connect, 3000, 250);
    ASSERT_EQ("\r\nCONNECT 28800/V42\r\n", connect);

    // Escape: "+++" alone after the guard time; the OK comes one guard time
    // (500 ms) later.
    Sleep(600);
    TraceLines().clear();
    start = PreciseMs();
    EXPECT_TRUE(serial_.Request("+++", &answer, REQ_NO_ECHO | REQ_NO_CR, kNoCancel, 2000, 0));
    EXPECT_GE(PreciseMsSince(start), 500u);
    EXPECT_EQ("\r\nOK\r\n", answer);
    EXPECT_FALSE(Traced("CSerial::Request: Send <CR>\n"));

    // Hang-up in online command mode.
    EXPECT_TRUE(serial_.Request("ATH", &answer, REQ_NO_ECHO, kNoCancel, 10000, 0));
    EXPECT_EQ("\r\nOK\r\n", answer);

    ModemTranscript wire = Transcript();
    EXPECT_EQ(1u, wire.Events("escape").size());
    EXPECT_EQ(1u, wire.Events("hangup").size());
    std::string received = wire.Received();
    EXPECT_EQ("ATDT0123\r+++ATH\r", received);
}

TEST_F(RequestTest, EchoOffFailsAfterTheEleventhTryWithoutAnotherAttempt)
{
    CSerial echoOff;
    OpenOther(echoOff, "COM5");
    std::string answer = "untouched";
    DWORD start = PreciseMs();
    EXPECT_FALSE(echoOff.Request("ATI", &answer, 0, kNoCancel, 10000, 1));
    DWORD elapsed = PreciseMsSince(start);
    EXPECT_EQ("untouched", answer);
    // 11 echo waits of 100, 150, ... 600 ms and 10 pauses of 300 ms.
    EXPECT_GE(elapsed, 6800u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_TRUE(Traced("CSerial::Request: New Timeout set to: 600 ms\n"));
    EXPECT_FALSE(Traced("CSerial::Request: New Timeout set to: 650 ms\n"));
    EXPECT_EQ(1, TraceCount("CSerial::Request: Error Retries!"));
    EXPECT_EQ(0, TraceCount("\n#####################\n\nCSerial::Request: COMMAND <ATI>; Try 2 of 2."));

    // On the wire: the first character only, restarted with growing gaps
    // (echo limit + 300 ms), and no CR.
    std::vector<TranscriptEntry> sent = Transcript(100, "COM5").OfKind('<');
    ASSERT_EQ(11u, sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ("A", sent[i].text) << i;
        if (i == 0)
            continue;
        long expected = 400 + 50 * static_cast<long>(i - 1);
        long gap = sent[i].ms - sent[i - 1].ms;
        EXPECT_GE(gap, expected - 25) << "restart " << i;
        EXPECT_LE(gap, expected + 400) << "restart " << i;
    }
}

TEST_F(RequestTest, WrongEchoSendsTheWholeCommandAgain)
{
    std::string answer;
    EXPECT_TRUE(serial_.Request("AT&V", &answer, 0, kNoCancel, 10000, 0));
    EXPECT_EQ("\r\nOK\r\n", answer);
    EXPECT_EQ(1, TraceCount("CSerial::Request: No echo return!"));
    EXPECT_TRUE(Traced("CSerial::Request: New Timeout set to: 150 ms\n"));
    ModemTranscript wire = Transcript();
    EXPECT_EQ("AT&AT&V\r", wire.Received());
    std::vector<TranscriptEntry> sent = wire.OfKind('<');
    ASSERT_EQ(8u, sent.size());
    EXPECT_GE(sent[3].ms - sent[2].ms, 290) << "pause before the restart";
}

TEST_F(RequestTest, FinalResultsNeedTheirLineEndExceptNok)
{
    // NOK with CR LF: false at once, although "OK\r\n" is in the text too.
    std::string answer;
    DWORD start = PreciseMs();
    EXPECT_FALSE(serial_.Request("ATNOK", &answer, REQ_SCROLL, kNoCancel, 10000, 0));
    EXPECT_LT(PreciseMsSince(start), 2500u);
    EXPECT_EQ("\r\nNOK\r\n", answer);
    EXPECT_TRUE(Traced("CSerial::Request: \"NOK\" found in modem string, exiting.\n"));
    EXPECT_TRUE(Traced("CSerial::Request: Result: Error -3 \n\n#####################\n"));

    // OK in three bursts, 400 ms apart: found once they are joined. (Without
    // REQ_SCROLL: the echo of a scroll CR would land between the bursts.)
    TraceLines().clear();
    start = PreciseMs();
    EXPECT_TRUE(serial_.Request("ATSPLIT", &answer, 0, kNoCancel, 10000, 0));
    EXPECT_GE(PreciseMsSince(start), 800u);
    EXPECT_EQ("\r\nOK\r\n", answer);
    EXPECT_EQ(3, TraceCount("CSerial::ReadAll: Read: "));

    // OK without its line end: the attempt runs into its deadline, then the
    // 500 ms pause follows.
    start = PreciseMs();
    EXPECT_FALSE(serial_.Request("ATNOEOL", &answer, 0, kNoCancel, 1500, 0));
    DWORD elapsed = PreciseMsSince(start);
    EXPECT_EQ("\r\nOK", answer);
    EXPECT_GE(elapsed, 1950u);
    EXPECT_LT(elapsed, 3500u);
}

TEST_F(RequestTest, RetriesAfterErrorKeepTheLastAnswer)
{
    std::string answer;
    EXPECT_FALSE(serial_.Request("ATERR", &answer, REQ_SCROLL, kNoCancel, 10000, 2));
    EXPECT_EQ("\r\n3\r\nERROR\r\n", answer);
    EXPECT_TRUE(Traced("\n#####################\n\nCSerial::Request: COMMAND <ATERR>; Try 3 of 3.\n"));
    EXPECT_EQ(3, TraceCount("CSerial::Request: Result: Error -1 "));

    // Three attempts; each starts after the 250 ms of silence that ends the
    // ERROR burst and the 500 ms pause.
    ModemTranscript wire = Transcript();
    EXPECT_EQ(3u, wire.Events("command ATERR").size());
    const std::vector<TranscriptEntry>& all = wire.Entries();
    std::vector<long> errorSent, nextStarts;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == '>' && all[i].text.find("ERROR") != std::string::npos)
            errorSent.push_back(all[i].ms);
        if (all[i].kind == '<' && all[i].text.compare(0, 1, "A") == 0 && !errorSent.empty() &&
            nextStarts.size() < errorSent.size())
            nextStarts.push_back(all[i].ms);
    }
    ASSERT_EQ(3u, errorSent.size());
    ASSERT_EQ(2u, nextStarts.size());
    for (size_t i = 0; i < nextStarts.size(); ++i) {
        long gap = nextStarts[i] - errorSent[i];
        EXPECT_GE(gap, 725) << "attempt " << i + 2;
        EXPECT_LE(gap, 1500) << "attempt " << i + 2;
    }
}

TEST_F(RequestTest, ScrollAgainstSilenceAndNoLineEnd)
{
    CSerial silent;
    OpenOther(silent, "COM4");

    // Nothing to wait for before the answer: one CR every 250 ms until the
    // deadline; the answer (nothing) is handed back at the normal end.
    std::string answer = "untouched";
    DWORD start = PreciseMs();
    EXPECT_FALSE(silent.Request("ATQ", &answer, REQ_NO_ECHO | REQ_NO_CR | REQ_SCROLL, kNoCancel,
                                2000, 0));
    DWORD elapsed = PreciseMsSince(start);
    EXPECT_EQ("", answer);
    EXPECT_GE(elapsed, 2450u) << "deadline and pause";
    EXPECT_LT(elapsed, 4000u);
    std::vector<TranscriptEntry> sent = Transcript(0, "COM4").OfKind('<');
    ASSERT_GE(sent.size(), 8u) << "the command and CRs at 250, 500, ... 1750 ms";
    EXPECT_LE(sent.size(), 9u);
    EXPECT_EQ("ATQ", sent[0].text);
    for (size_t i = 1; i < sent.size(); ++i) {
        EXPECT_EQ("\r", sent[i].text) << i;
        long gap = sent[i].ms - sent[i - 1].ms;
        // The CRs keep to a fixed schedule: one sent late under load is
        // followed by a shorter gap.
        EXPECT_GE(gap, 150) << i;
        EXPECT_LE(gap, 600) << i;
    }

    // The detect command against silence: the echoed line end never comes;
    // false after 2500 ms, no scroll CR, the answer untouched.
    TraceLines().clear();
    answer = "untouched";
    start = PreciseMs();
    EXPECT_FALSE(silent.Request("ATI", &answer, REQ_NO_ECHO | REQ_SCROLL, kNoCancel, 10000, 0));
    elapsed = PreciseMsSince(start);
    EXPECT_EQ("untouched", answer);
    EXPECT_GE(elapsed, 2450u);
    EXPECT_LT(elapsed, 4000u);
    EXPECT_TRUE(Traced("CSerial::Request: Error reading character!\n"));
    std::string received = Transcript(100, "COM4").Received();
    EXPECT_EQ("ATI\r", received.substr(received.size() - 4));
}

TEST_F(RequestTest, CancelAndEmptyCommands)
{
    // Set before the call: nothing goes out.
    std::atomic<bool> cancel{true};
    std::string answer = "untouched";
    EXPECT_FALSE(serial_.Request("AT", &answer, 0, &cancel, 10000, 0));
    EXPECT_TRUE(Traced("CSerial::Request: Action canceld!\n"));

    // An empty command: in one write it fails at once; with echo checking
    // only the CR goes out and the request goes on to its deadline.
    EXPECT_FALSE(serial_.Request("", &answer, REQ_NO_ECHO, kNoCancel, 10000, 0));
    EXPECT_EQ("untouched", answer);
    EXPECT_EQ("", Transcript().Received());
    EXPECT_FALSE(serial_.Request("", &answer, 0, kNoCancel, 300, 0));
    EXPECT_EQ("", answer) << "normal end: the (empty) answer is handed back";
    EXPECT_EQ("\r", Transcript().Received());

    // Set from another thread while the answer is awaited (it would come
    // after 3 s): the request ends within a polling pass.
    cancel = false;
    answer = "untouched";
    std::atomic<DWORD> setAt{0};
    std::thread canceller([&] {
        Sleep(600);
        setAt = PreciseMs();
        cancel = true;
    });
    bool result = serial_.Request("ATWAIT", &answer, 0, &cancel, 10000, 0);
    DWORD endedAt = PreciseMs();
    canceller.join();
    EXPECT_FALSE(result);
    EXPECT_EQ("untouched", answer);
    EXPECT_TRUE(Traced("CSerial::Request: Action aborted by user!\n"));
    DWORD latency = endedAt - setAt;
    EXPECT_LT(latency, 100u) << "ms from the cancel to the end of the request";
    RecordProperty("cancel_latency_ms", static_cast<int>(latency));
}

}  // namespace
