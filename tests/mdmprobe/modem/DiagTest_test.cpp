// The diagnostic readout end to end: CSerial on COM3, mapped to the simulated
// VX-56i, with the shipped sample definition file, so the sample and the
// simulator are checked against each other too.
#include "DiagTest.h"
#include "IniFile.h"
#include "LogFixture.h"
#include "ModemCmds.h"
#include "ModemTranscript.h"
#include "Serial.h"

#include <cstdio>
#include <string>

namespace {

const char kBanner[] = "\r\n======================  DIAG TEST  =======================\r\n";

class DiagTestTest : public LogFixture
{
protected:
    void SetUp() override
    {
        LogFixture::SetUp();
        ASSERT_TRUE(serial_.SetPortName("COM3"));
        ASSERT_TRUE(serial_.Open());
        commands_.DiagCmd = "AT*DIAG";
    }

    // Every byte the PC sent to the modem so far, once the simulator has
    // recorded at least `atLeast` of them.
    std::string Sent(size_t atLeast)
    {
        bool loaded = false;
        const testsupport::ModemTranscript transcript = testsupport::WaitForTranscript(
            testsupport::Env("MODEMSIM_COM3_TRANSCRIPT"), testsupport::ReceivedBytes(atLeast), 5000, &loaded);
        EXPECT_TRUE(loaded);
        return transcript.Received();
    }

    CIniFile ini_{testsupport::UnixToWinPath(SAMPLE_INI)};
    CSerial serial_;
    ModemCmds commands_;
    std::atomic<bool> stop_{false};
};

TEST_F(DiagTestTest, ReportIsDecodedWithTheSampleDefinitions)
{
    EXPECT_TRUE(RunDiagnosticTest(*log_, ini_, &stop_, serial_, commands_));
    std::string expected = std::string(kBanner) +
                           "Token = 0x5631\r\n"
                           "Key 0x01 = Line state\r\n"
                           "  Bitmap 00000000000000000000000000001111:\r\n"
                           "  Bit 00 is 1 = Carrier detected\r\n"
                           "  Bit 01 is 1 = Synchronised\r\n"
                           "  Bit 02 is 1 = Error correction (V.42) active\r\n"
                           "  Bit 03 is 1 = Data compression (V.42bis) active\r\n"
                           "  Bit 04 is 0 = Remote loopback\r\n";
    for (int bit = 5; bit < 32; ++bit) {
        char line[32];
        std::snprintf(line, sizeof(line), "  Bit %02d is 0 = ", bit);
        expected += line + std::string("not described in ") + ini_.GetPath() + "!\r\n";
    }
    expected += "Key 0x02 = Connect speed\r\n"
                "  0x8340 = 33600 bps\r\n"
                "Key 0x03 = Modulation\r\n"
                "  String = V.34 33600\r\n"
                "Key 0x04 = Last disconnect reason\r\n"
                "    0x01 = Local hang-up\r\n"
                "Key 0x05 = Receive level\r\n"
                "    0x17 = 23 -dBm\r\n"
                "Key 0x06 = Retrains\r\n"
                "    0x00 = 0 times\r\n";
    EXPECT_EQ(expected, Log());
    // The command once; then only the carriage returns sent every 250 ms
    // while the modem prepares its report.
    const std::string sent = Sent(8);
    EXPECT_EQ(0u, sent.find("AT*DIAG\r")) << sent;
    EXPECT_EQ(std::string::npos, sent.find_first_not_of('\r', 8)) << sent;
}

TEST_F(DiagTestTest, AnswersWithoutReportAreNotRecognized)
{
    commands_.DiagCmd = "ATI3";  // OK, but no "DIAG " in the answer
    EXPECT_FALSE(RunDiagnosticTest(*log_, ini_, &stop_, serial_, commands_));
    commands_.DiagCmd = "AT*NODIAG";  // ERROR
    EXPECT_FALSE(RunDiagnosticTest(*log_, ini_, &stop_, serial_, commands_));
    const std::string notRecognized = "Result of DIAG-Test : not recognized on COM3!\r\n";
    EXPECT_EQ(kBanner + notRecognized + kBanner + notRecognized, Log());
}

TEST_F(DiagTestTest, EmptyCommandOrClosedPortLogsAndSendsNothing)
{
    commands_.DiagCmd.clear();
    EXPECT_FALSE(RunDiagnosticTest(*log_, ini_, &stop_, serial_, commands_));
    commands_.DiagCmd = "AT*DIAG";
    serial_.Close();
    EXPECT_FALSE(RunDiagnosticTest(*log_, ini_, &stop_, serial_, commands_));
    EXPECT_EQ("", Log());
    // A marker sent afterwards shows that nothing went out before it.
    ASSERT_TRUE(serial_.Open());
    EXPECT_EQ(3, serial_.Write("AT\r"));
    EXPECT_EQ("AT\r", Sent(3));
}

}  // namespace
