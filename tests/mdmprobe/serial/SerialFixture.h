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

    // The transcript of `port` once `ready` holds for it (the simulator
    // records each event a moment after it happened) or its deadline passed.
    testsupport::ModemTranscript Transcript(const testsupport::TranscriptCondition& ready,
                                            const char* port = "COM3")
    {
        bool loaded = false;
        std::string variable = std::string("MODEMSIM_") + port + "_TRANSCRIPT";
        testsupport::ModemTranscript transcript =
            testsupport::WaitForTranscript(testsupport::Env(variable.c_str()), ready, 5000, &loaded);
        EXPECT_TRUE(loaded);
        return transcript;
    }
    // The transcript of `port` as it is now.
    testsupport::ModemTranscript TranscriptNow(const char* port = "COM3")
    {
        return Transcript([](const testsupport::ModemTranscript&) { return true; }, port);
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
