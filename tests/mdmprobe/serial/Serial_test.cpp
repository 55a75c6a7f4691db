// CSerial against a COM port that Wine maps to the modem simulator: line
// settings as the simulator sees them, time limits (with tolerances for a
// loaded machine), byte counts, the states of the port, and the step trace.
#include "ModemTranscript.h"
#include "Serial.h"
#include "SerialTrace.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_trace;

void CollectTrace(const char* line)
{
    g_trace.push_back(line);
}

class SerialTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_trace.clear();
        SetSerialTraceSink(CollectTrace);
        ASSERT_TRUE(serial_.SetPortName("COM3"));
    }
    void TearDown() override { SetSerialTraceSink(nullptr); }

    // The transcript as it is now, after the simulator had time to notice.
    testsupport::ModemTranscript Transcript(DWORD settleMs = 100)
    {
        Sleep(settleMs);
        testsupport::ModemTranscript transcript;
        EXPECT_TRUE(transcript.Load(testsupport::Env("MODEMSIM_COM3_TRANSCRIPT")));
        return transcript;
    }

    bool Traced(const std::string& line) const
    {
        for (const std::string& t : g_trace) {
            if (t == line)
                return true;
        }
        return false;
    }

    CSerial serial_;
};

// Milliseconds from the performance counter: Wine's GetTickCount moves in
// steps of about 16 ms, too coarse for the lower limits checked here.
DWORD Now()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<DWORD>(count.QuadPart * 1000 / frequency.QuadPart);
}

DWORD Since(DWORD start)
{
    return Now() - start;
}

TEST_F(SerialTest, OpenSetsTheLineAndReopenAppliesNewOptions)
{
    DWORD start = Now();
    ASSERT_TRUE(serial_.Open());
    EXPECT_GE(Since(start), 35u) << "DTR pulse and settling time";
    EXPECT_TRUE(serial_.IsOpen());
    EXPECT_EQ("115200 8N1 crtscts", Transcript().LastLineSettings());

    // Open on an open object closes it first and opens again.
    ASSERT_TRUE(serial_.Open(CSerial::OPEN_NO_FLOW_CONTROL));
    EXPECT_TRUE(serial_.IsOpen());
    EXPECT_EQ("115200 8N1 none", Transcript().LastLineSettings());
    EXPECT_TRUE(Traced("CSerial::Close: Closed: <COM3>\n"));

    // Still talking to the modem after the reopen.
    EXPECT_EQ(3, serial_.Write("AT\r"));
    std::string answer;
    serial_.ReadAll(answer, 2000, 200);
    EXPECT_EQ("AT\r\r\nOK\r\n", answer);
}

TEST_F(SerialTest, ClosedPortRefusesQuietly)
{
    EXPECT_FALSE(serial_.IsOpen());
    EXPECT_FALSE(serial_.Close());
    EXPECT_TRUE(Traced("CSerial::Close: <COM3> already closed!\n"));

    DWORD start = Now();
    EXPECT_TRUE(serial_.PurgeInput(150)) << "a closed port only sleeps";
    EXPECT_GE(Since(start), 140u);

    std::string data = "stale";
    EXPECT_EQ(0, serial_.Read(data, 10));
    EXPECT_EQ("", data);
    EXPECT_EQ(0, serial_.Write("AT\r"));
    EXPECT_FALSE(serial_.QueryInbuff());

    ASSERT_TRUE(serial_.Open());
    EXPECT_TRUE(serial_.Close());
    EXPECT_FALSE(serial_.IsOpen());
    EXPECT_FALSE(serial_.Close());
    EXPECT_EQ("COM3", serial_.GetPortName()) << "the name survives Close";
    EXPECT_FALSE(serial_.SetPortName(""));
    EXPECT_EQ("COM3", serial_.GetPortName());
}

TEST_F(SerialTest, MissingPortDoesNotOpen)
{
    CSerial missing;
    ASSERT_TRUE(missing.SetPortName("COM9"));
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(Traced("CSerial::Open: Abort Open <COM9>\n"));
}

TEST_F(SerialTest, BusyPortDoesNotOpen)
{
    ASSERT_TRUE(serial_.Open());
    CSerial second;
    ASSERT_TRUE(second.SetPortName("COM3"));
    bool secondOpened = second.Open();
    // The first owner is unaffected either way.
    EXPECT_EQ(3, serial_.Write("AT\r"));
    std::string answer;
    serial_.ReadAll(answer, 2000, 200);
    EXPECT_EQ("AT\r\r\nOK\r\n", answer);
    if (secondOpened)
        GTEST_SKIP() << "Wine does not enforce exclusive access to serial devices";
    EXPECT_FALSE(second.IsOpen());
}

TEST_F(SerialTest, WriteCountSelectsBytes)
{
    ASSERT_TRUE(serial_.Open());
    EXPECT_EQ(3, serial_.Write("AT\r", 0));          // 0: the whole string
    EXPECT_EQ(5, serial_.Write("ATE1\rXYZ", 5));      // the first five bytes
    EXPECT_EQ(3, serial_.Write("AT\r", 99));          // cut to the string
    EXPECT_EQ(3, serial_.WriteTimeout("AT\r", 0, 500));
    std::string answer;
    serial_.ReadAll(answer, 2000, 300);
    EXPECT_EQ("AT\rATE1\rAT\rAT\r", Transcript().Received());
    EXPECT_TRUE(Traced("CSerial::Write: Ready to write 5 bytes\n"));
    EXPECT_TRUE(Traced("CSerial::WriteTimeout: Returned from write with 3 bytes written\n"));
}

TEST_F(SerialTest, ReadTimeoutWithNothingArrivingWaitsTheTotalTime)
{
    ASSERT_TRUE(serial_.Open());
    std::string data = "previous";
    DWORD start = Now();
    EXPECT_EQ(0, serial_.ReadTimeout(data, 10, 400, 0));
    DWORD elapsed = Since(start);
    EXPECT_EQ("", data);
    EXPECT_GE(elapsed, 350u);
    EXPECT_LE(elapsed, 1500u);
}

TEST_F(SerialTest, ReadTimeoutEndsAtTheIntervalLimit)
{
    ASSERT_TRUE(serial_.Open());
    serial_.Write("ATSLOW\r");
    std::string data;
    DWORD start = Now();
    int got = serial_.ReadTimeout(data, 100, 3000, 50);
    // Echo and the first letter come at once; the next letter is 100 ms
    // away, longer than the 50 ms allowed between two bytes. A busy machine
    // may split the echo from the first letter, so only the second letter
    // is ruled out.
    EXPECT_EQ(0u, data.find("ATSLOW\r"));
    EXPECT_EQ(std::string::npos, data.find('b')) << data;
    EXPECT_EQ(static_cast<int>(data.size()), got);
    EXPECT_LT(Since(start), 1000u);
}

TEST_F(SerialTest, ReadAllStopsWhenTheLineGoesQuiet)
{
    ASSERT_TRUE(serial_.Open());
    serial_.Write("AT\r");
    std::string answer = "old";
    DWORD start = Now();
    EXPECT_EQ(9, serial_.ReadAll(answer, 3000, 200));
    EXPECT_EQ("AT\r\r\nOK\r\n", answer);
    EXPECT_LT(Since(start), 1500u) << "a chunk under 256 bytes ends the read";
    EXPECT_TRUE(Traced("CSerial::ReadAll: Read: AT\r\r\nOK\r\n\n"));
}

TEST_F(SerialTest, ReadAllNeverRunsPastItsTotalTime)
{
    ASSERT_TRUE(serial_.Open());
    serial_.Write("ATSLOW\r");
    std::string data;
    DWORD start = Now();
    int got = serial_.ReadAll(data, 600, 300);
    DWORD elapsed = Since(start);
    EXPECT_GE(elapsed, 550u);
    EXPECT_LE(elapsed, 1100u);
    // About six letters arrive in 600 ms; the last one, 'o', comes at 1.4 s.
    EXPECT_EQ(0u, data.find("ATSLOW\ra"));
    EXPECT_EQ(std::string::npos, data.find('o'));
    EXPECT_EQ(static_cast<int>(data.size()), got);
}

TEST_F(SerialTest, ReadAllCollectsMoreThan256BytesInChunks)
{
    ASSERT_TRUE(serial_.Open());
    serial_.Write("ATBURST\r");
    Sleep(300);  // everything is waiting in the driver's queue
    std::string data;
    EXPECT_EQ(608, serial_.ReadAll(data, 3000, 300));
    EXPECT_EQ("ATBURST\r", data.substr(0, 8));
    EXPECT_EQ(std::string::npos, data.find_first_not_of("0123456789", 8));
    int chunks = 0;
    for (const std::string& line : g_trace) {
        if (line.rfind("CSerial::ReadTimeout: Ready to read 256 bytes", 0) == 0)
            ++chunks;
    }
    EXPECT_EQ(3, chunks) << "256 + 256 + 96 bytes";
}

TEST_F(SerialTest, QueryInbuffSeesWaitingBytesUntilPurged)
{
    ASSERT_TRUE(serial_.Open());
    EXPECT_FALSE(serial_.QueryInbuff());
    serial_.Write("AT\r");
    Sleep(300);
    EXPECT_TRUE(serial_.QueryInbuff());
    EXPECT_TRUE(Traced("CSerial::QueryInbuff: Inbuff is not empty\n"));
    EXPECT_TRUE(serial_.PurgeInput(0));
    EXPECT_FALSE(serial_.QueryInbuff());
    std::string data;
    EXPECT_EQ(0, serial_.ReadTimeout(data, 10, 200, 0));
}

TEST_F(SerialTest, PortsFromCom10OnOpenUnderTheirGivenName)
{
    CSerial high;
    ASSERT_TRUE(high.SetPortName("COM12"));
    ASSERT_TRUE(high.Open());
    EXPECT_EQ("COM12", high.GetPortName());
    EXPECT_EQ(3, high.Write("AT\r"));
    std::string answer;
    high.ReadAll(answer, 2000, 200);
    EXPECT_EQ("AT\r\r\nOK\r\n", answer);
    EXPECT_TRUE(Traced("CSerial::Open: <COM12>\n"));
}

TEST_F(SerialTest, DtrPulse)
{
    ASSERT_TRUE(serial_.Open());
    if (!serial_.PulseDtr(20))
        GTEST_SKIP() << "Wine cannot switch DTR on a pseudo-terminal (EscapeCommFunction fails)";
    SUCCEED();
}

}  // namespace
