// Figures of CSerial::Request as shipped (no trace): the wall time of a plain
// AT request, and the CPU share of a silent 10 s wait, which polls with 1 ms
// sleeps and must not keep a core busy.
#include "Serial.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// User plus kernel time of this process in ms.
double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

TEST(RequestFigures, PlainAtAndSilentWait)
{
    CSerial modem, silent;
    ASSERT_TRUE(modem.SetPortName("COM3") && modem.Open());
    ASSERT_TRUE(silent.SetPortName("COM4") && silent.Open());

    std::string answer;
    DWORD start = testsupport::PreciseMs();
    EXPECT_TRUE(modem.Request("AT", &answer, 0, nullptr, 10000, 0));
    DWORD atMs = testsupport::PreciseMsSince(start);
    EXPECT_EQ("\r\nOK\r\n", answer);
    EXPECT_GE(atMs, 245u) << "the answer burst ends after 250 ms of silence";
    EXPECT_LT(atMs, 1000u);

    double cpuBefore = ProcessCpuMs();
    start = testsupport::PreciseMs();
    EXPECT_FALSE(silent.Request("ATQ", &answer, REQ_NO_ECHO | REQ_NO_CR, nullptr, 10000, 0));
    DWORD wallMs = testsupport::PreciseMsSince(start);
    double share = 100.0 * (ProcessCpuMs() - cpuBefore) / wallMs;
    std::printf("plain AT request: %lu ms; silent wait: %lu ms wall, %.2f%% of one core\n", atMs,
                wallMs, share);
    EXPECT_GE(wallMs, 10400u) << "time limit and pause";
    // About 1.5 % on an idle machine and up to 6 % on a loaded one (Wine's
    // own work per wake-up grows with the load); a loop that spins takes a
    // whole core.
    EXPECT_LT(share, 20.0) << "the idle loop must sleep, not spin";
}

}  // namespace
