// The log rules the soak checks, on the passing run's log of the e2e tests
// (turned back into bytes) and on that log broken in each way a fault could
// break it.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "LogCheck.h"

namespace soak {
namespace {

// tests/mdmprobe/app/automatic-pass.log is written with "T - " for the time
// prefixes, <DATE> and <DIR>, "\r" for a CR inside a line and LF line ends.
std::string PassingLog() {
  std::ifstream file(SOAK_PASSING_LOG);
  std::ostringstream text;
  text << file.rdbuf();
  std::string log = std::regex_replace(text.str(), std::regex("T - "), "17:45:09 - ");
  log = std::regex_replace(log, std::regex("<DATE>"), "12/08/2026");
  log = std::regex_replace(log, std::regex("<DIR>"), "C:\\\\x");
  log = std::regex_replace(log, std::regex("\\\\r"), "\r");
  return std::regex_replace(log, std::regex("\n"), "\r\n");
}

const LogExpectation kPassed{"COM3", true, 0};

std::string Replaced(std::string log, const std::string& from, const std::string& to) {
  const size_t at = log.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? log : log.replace(at, from.size(), to);
}

bool Reports(const std::vector<std::string>& problems, const std::string& part) {
  for (const std::string& problem : problems) {
    if (problem.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(LogCheck, APassingRunKeepsEveryRule) {
  const std::string log = PassingLog();
  ASSERT_GT(log.size(), 4000u);
  EXPECT_EQ(CheckLog(log, kPassed), std::vector<std::string>{});
}

TEST(LogCheck, BytesAndLineEndsAFileCannotHold) {
  const std::string log = PassingLog();
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "RAM 512K", std::string("RAM\0" "512K", 8)), kPassed), "byte 0 at"));
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "RAM 512K", "RAM\x1b" "512K"), kPassed), "byte 27 at"));
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "RAM 512K", "RAM\x7f" "512K"), kPassed), "byte 127 at"));
  EXPECT_TRUE(CheckLog(Replaced(log, "RAM 512K", "RAM\t\xe9" "512K"), kPassed).empty()) << "TAB and 8-bit are text";
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "RAM 512K", "RAM\n512K"), kPassed), "line feed without"));
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "17:45:09 - Key 0x02", "Key 0x02"), kPassed), "no time prefix"));
  EXPECT_TRUE(Reports(CheckLog(log.substr(0, log.size() - 2), kPassed), "no line end"));
}

// The fault found from outside: a NUL in the modem's name cut the "Detected
// modem" line and ran the next text into it.
TEST(LogCheck, CutOrJoinedLinesAndAMissingEnd) {
  const std::string log = PassingLog();
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "VX-56i (COM3)\r\n17:45:09 - ", "VX-56i"), kPassed), "cut line"));
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "Ram-Test OK.", "Ram-Test O"), kPassed), "cut line"));
  const size_t end = log.rfind("17:45:09 - =======================  END OF EMI");
  EXPECT_TRUE(Reports(CheckLog(log.substr(0, end), kPassed), "closing line"));
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "BEGIN PORT SCAN", "BEGIN PORT"), kPassed), "header"));
  EXPECT_TRUE(Reports(CheckLog("", kPassed), "empty"));
}

TEST(LogCheck, ExitCodeAndVerdictsAgree) {
  const std::string log = PassingLog();
  EXPECT_TRUE(Reports(CheckLog(log, {"COM3", true, 4}), "the verdicts give 0"));
  const std::string crcFailed = Replaced(log, "CRC-Check OK.", "CRC-Check not OK !");
  EXPECT_TRUE(CheckLog(crcFailed, {"COM3", true, 4}).empty());
  EXPECT_TRUE(Reports(CheckLog(log, {"COM3", false, 0}), "test verdicts instead of 4"));
  // A model without a diagnostic command (an unknown name gets none from
  // Common): no readout after the call, and none is missing.
  const size_t readout = log.find("\r\n17:45:09 - ======================  DIAG TEST", log.find("Connection OK !"));
  const size_t end = log.find("17:45:09 - Result of DIAG-Test : DiagnosticTest OK.\r\n", readout);
  ASSERT_NE(end, std::string::npos);
  const std::string withoutReadout =
      log.substr(0, readout + 2) + log.substr(end + std::string("17:45:09 - Result of DIAG-Test : DiagnosticTest OK.\r\n").size());
  EXPECT_TRUE(CheckLog(withoutReadout, kPassed).empty()) << CheckLog(withoutReadout, kPassed).front();
  EXPECT_TRUE(Reports(CheckLog(Replaced(log, "17:45:09 - Result of DIAG-Test : DiagnosticTest OK.\r\n", ""), kPassed),
                      "test verdicts instead of 5"));
  EXPECT_TRUE(Reports(CheckLog(log, {"COM3", true, -2}), "with a modem found"));

  // The scan without a modem ends the log; exit -2 and nothing else.
  const size_t result = log.find("17:45:09 - ================  RESULT OF PORT SCAN");
  const std::string noModem = log.substr(0, result) +
                              "17:45:09 - ================  RESULT OF PORT SCAN  ===================\r\n"
                              "17:45:09 - ERROR - No compatible modem has been detected !\r\n";
  EXPECT_TRUE(CheckLog(noModem, {"COM3", true, -2}).empty());
  EXPECT_TRUE(Reports(CheckLog(noModem, {"COM3", true, 1}), "after no modem was found"));
}

}  // namespace
}  // namespace soak
