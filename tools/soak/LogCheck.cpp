#include "LogCheck.h"

#include <cstring>
#include <regex>

namespace soak {
namespace {

const std::string kRule(58, '=');
const std::regex kPrefix("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9] - ");

// The log's lines without their CR LF and time prefixes. A line with text
// that lacks the prefix is reported and kept as it is.
std::vector<std::string> Lines(const std::string& bytes, std::vector<std::string>& problems) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      problems.push_back("the last line has no line end: \"" + bytes.substr(start, 80) + "\"");
      end = bytes.size();
    }
    std::string line = bytes.substr(start, end - start);
    if (!line.empty()) {
      std::smatch prefix;
      if (std::regex_search(line, prefix, kPrefix)) {
        line = prefix.suffix();
      } else {
        problems.push_back("line " + std::to_string(lines.size() + 1) + " has no time prefix: \"" +
                           line.substr(0, 80) + "\"");
      }
    }
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

bool StartsWith(const std::string& text, const char* start) { return text.compare(0, std::strlen(start), start) == 0; }

}  // namespace

bool IsLogByte(unsigned char byte) {
  return byte == '\t' || byte == '\r' || byte == '\n' || (byte >= 0x20 && byte != 0x7F);
}

std::vector<std::string> CheckLog(const std::string& bytes, const LogExpectation& expected) {
  std::vector<std::string> problems;
  if (bytes.empty()) return {"the log is empty or missing"};
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!IsLogByte(byte)) {
      problems.push_back("byte " + std::to_string(byte) + " at offset " + std::to_string(i));
      break;
    }
    if (byte == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
      problems.push_back("a line feed without its carriage return at offset " + std::to_string(i));
      break;
    }
  }
  const std::vector<std::string> lines = Lines(bytes, problems);

  // Header, start mode and the scan's start.
  static const std::regex title("^= Modem Installationtest - LOGFILE [01][0-9]/[0-3][0-9]/[0-9]{4} =$");
  if (lines.size() < 9 || lines[0] != kRule || !std::regex_match(lines[1], title) || lines[2] != kRule ||
      lines[3] != "PRG-Mode            : Program started on command line" ||
      lines[4] != "                       -> Automatic mode ON." || !StartsWith(lines[5], "Command Line        : ") ||
      lines[6] != kRule || lines[7] != "===================  BEGIN PORT SCAN  ====================" ||
      lines[8] != "Scanning Port       : " + expected.port) {
    problems.push_back("the header and the start of the scan are not complete");
    return problems;
  }

  // The end: no modem, or the closing banner of the tests.
  const size_t n = lines.size();
  const bool noModem = lines[n - 1] == "ERROR - No compatible modem has been detected !" &&
                       lines[n - 2] == "================  RESULT OF PORT SCAN  ===================";
  const bool tested = n >= 3 && lines[n - 1] == kRule && lines[n - 3] == kRule &&
                      lines[n - 2] == "=======================  END OF EMI  =====================";
  if (!noModem && !tested) problems.push_back("the log does not end with its closing line");
  if (noModem != (expected.exitCode == -2)) {
    problems.push_back("exit code " + std::to_string(expected.exitCode) +
                       (noModem ? " after no modem was found" : " with a modem found"));
  }

  // Lines the program completes itself: never cut, never run into the next.
  struct Verdict {
    const char* passed;
    const char* failed;
    long bit;
  };
  static const Verdict kVerdicts[] = {
      {"Result of TAPI-Test : Modem found on TAPI.", "Result of TAPI-Test : Modem NOT found on TAPI.", 1},
      {"Result of RAM-Test  : Ram-Test OK.", "Result of RAM-Test  : Ram-Test not OK !", 2},
      {"Result of CRC-Test  : CRC-Check OK.", "Result of CRC-Test  : CRC-Check not OK !", 4},
      {"Result of DIAL-Test : Connection OK !", "Result of DIAL-Test : Connection not OK !", 8},
      {"Result of DIAG-Test : DiagnosticTest OK.", "Result of DIAG-Test : DiagnosticTest not OK !", 16},
  };
  const std::string diagNotRecognized = "Result of DIAG-Test : not recognized on " + expected.port + "!";
  const std::string diagNotTested = "Result of DIAG-Test : not tested because NO CONNECTION !";
  const std::string modemEnd = " (" + expected.port + ")";
  long status = 0;
  int verdicts = 0;
  bool detected = false;
  for (const std::string& line : lines) {
    if (StartsWith(line, "Detected modem      : ")) {
      detected = true;
      if (line.size() < modemEnd.size() || line.compare(line.size() - modemEnd.size(), modemEnd.size(), modemEnd) != 0)
        problems.push_back("cut line: \"" + line.substr(0, 80) + "\"");
    }
    for (const Verdict& verdict : kVerdicts) {
      if (!StartsWith(line, std::string(verdict.passed, 22).c_str())) continue;
      if (line == verdict.passed || line == verdict.failed) {
        ++verdicts;
        if (line == verdict.failed) status |= verdict.bit;
      } else if (line != diagNotRecognized && line != diagNotTested) {
        problems.push_back("cut line: \"" + line.substr(0, 80) + "\"");
      }
    }
  }
  if (tested && !detected) problems.push_back("tests without a detected modem");
  if (tested) {
    // TAPI, RAM and CRC always; the call with a number; the readout after a
    // call that connected, when the model has a diagnostic command (its
    // banner follows the call's result).
    bool readout = false;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
      if (lines[i] == "Result of DIAL-Test : Connection OK !") {
        readout = lines[i + 1].empty() && i + 2 < lines.size() &&
                  lines[i + 2] == "======================  DIAG TEST  =======================";
      }
    }
    const int wanted = 3 + (expected.dials ? 1 : 0) + (readout ? 1 : 0);
    if (verdicts != wanted) {
      problems.push_back(std::to_string(verdicts) + " test verdicts instead of " + std::to_string(wanted));
    }
    if (status != expected.exitCode) {
      problems.push_back("exit code " + std::to_string(expected.exitCode) + " but the verdicts give " +
                         std::to_string(status));
    }
  }
  return problems;
}

}  // namespace soak
