// The rules a test log of an automatic run (mdmprobe /P:PORT [/T:number])
// must keep, whatever the modem sent: only bytes a text file holds, CR LF
// line ends, a time prefix on every line with text, complete from its header
// to its closing line, no line cut or run into the next, and an exit code
// that matches the verdicts it records.
#pragma once

#include <string>
#include <vector>

namespace soak {

struct LogExpectation {
  std::string port;       // the /P: port
  bool dials = false;     // a /T: number was given
  long exitCode = 0;      // the program's exit code (the run status)
};

// The rules the log breaks, one text each; empty when it keeps them all.
std::vector<std::string> CheckLog(const std::string& bytes, const LogExpectation& expected);

// Bytes a log may hold: TAB, CR, LF, and every byte from the blank up but DEL.
bool IsLogByte(unsigned char byte);

}  // namespace soak
