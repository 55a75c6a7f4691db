// Figures of CSerial::Request as the program ships it (no trace): the wall
// time of a plain AT request and the CPU time of a long silent wait, which
// polls the port with 1 ms sleeps and must not keep a core busy.
#include "Serial.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// User plus kernel time of this process, in milliseconds.
double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    auto ms = [](const FILETIME& t) {
        ULARGE_INTEGER v;
        v.LowPart = t.dwLowDateTime;
        v.HighPart = t.dwHighDateTime;
        return static_cast<double>(v.QuadPart) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

TEST(RequestFigures, PlainAtAgainstAnImmediateAnswer)
{
    CSerial port;
    ASSERT_TRUE(port.SetPortName("COM3"));
    ASSERT_TRUE(port.Open());
    std::vector<DWORD> times;
    for (int i = 0; i < 5; ++i) {
        std::string answer;
        DWORD start = testsupport::PreciseMs();
        EXPECT_TRUE(port.Request("AT", &answer, 0, nullptr, 10000, 0));
        times.push_back(testsupport::PreciseMsSince(start));
        EXPECT_EQ("\r\nOK\r\n", answer);
    }
    std::sort(times.begin(), times.end());
    std::printf("plain AT request: min %lu ms, median %lu ms, max %lu ms\n", times.front(),
                times[times.size() / 2], times.back());
    RecordProperty("at_request_median_ms", static_cast<int>(times[times.size() / 2]));
    // The answer burst ends only after 250 ms of silence.
    EXPECT_GE(times.front(), 245u);
    EXPECT_LT(times[times.size() / 2], 1000u);
}

TEST(RequestFigures, SilentWaitLeavesTheCpuIdle)
{
    CSerial port;
    ASSERT_TRUE(port.SetPortName("COM4"));
    ASSERT_TRUE(port.Open());
    std::string answer;
    double cpuBefore = ProcessCpuMs();
    DWORD start = testsupport::PreciseMs();
    EXPECT_FALSE(port.Request("ATQ", &answer, REQ_NO_ECHO | REQ_NO_CR, nullptr, 10000, 0));
    DWORD wall = testsupport::PreciseMsSince(start);
    double cpu = ProcessCpuMs() - cpuBefore;
    ASSERT_GE(cpuBefore, 0);
    double share = 100.0 * cpu / wall;
    std::printf("silent wait: %lu ms wall, %.0f ms CPU (%.2f%% of one core)\n", wall, cpu, share);
    RecordProperty("silent_wait_cpu_percent_x100", static_cast<int>(share * 100));
    EXPECT_GE(wall, 10400u) << "time limit and pause";
    EXPECT_LT(share, 5.0) << "the idle loop must sleep, not spin";
}

}  // namespace
