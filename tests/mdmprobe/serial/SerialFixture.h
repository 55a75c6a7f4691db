// Shared by the CSerial tests: a port object for COM3, the step trace it
// writes, and the simulator transcripts of the mapped ports.
#pragma once

#include "ModemTranscript.h"
#include "Serial.h"
#include "SerialTrace.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Reaches the port handle, which the tests need to read the port's time-outs
// back and to stand in other handles.
class CSerialTestAccess
{
public:
    static HANDLE Handle(const CSerial& serial) { return serial.handle_; }
    static HANDLE Swap(CSerial& serial, HANDLE handle)
    {
        HANDLE previous = serial.handle_;
        serial.handle_ = handle;
        return previous;
    }
};

namespace serialtest {

inline std::vector<std::string>& TraceLines()
{
    static std::vector<std::string> lines;
    return lines;
}

inline void CollectTrace(const char* line)
{
    TraceLines().push_back(line);
}

class SerialTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TraceLines().clear();
        SetSerialTraceSink(CollectTrace);
        ASSERT_TRUE(serial_.SetPortName("COM3"));
    }
    void TearDown() override { SetSerialTraceSink(nullptr); }

    // The transcript of `port` as it is now, after the simulator had time to
    // notice.
    testsupport::ModemTranscript Transcript(DWORD settleMs = 100, const char* port = "COM3")
    {
        Sleep(settleMs);
        testsupport::ModemTranscript transcript;
        std::string variable = std::string("MODEMSIM_") + port + "_TRANSCRIPT";
        EXPECT_TRUE(transcript.Load(testsupport::Env(variable.c_str())));
        return transcript;
    }

    bool Traced(const std::string& line) const { return TraceCount(line) > 0; }

    // Trace lines that begin with `start`.
    static int TraceCount(const std::string& start)
    {
        int count = 0;
        for (const std::string& t : TraceLines()) {
            if (t.compare(0, start.size(), start) == 0)
                ++count;
        }
        return count;
    }

    CSerial serial_;
};

using testsupport::PreciseMs;
using testsupport::PreciseMsSince;

}  // namespace serialtest
