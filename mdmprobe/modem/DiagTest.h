// The diagnostic readout: sends the model's diagnostic command and decodes
// the modem's report into the test log with the key descriptions of the
// definition-file section named like the command.
//
// Runs on the worker that owns the serial port at the time (port scan or
// test run); `cancel` is ModemInfo::stopRequested.
#pragma once

#include <atomic>
#include <string>

class CIniFile;
class CLogFile;
class CSerial;
struct ModemCmds;

// False without logging anything when the port is closed or DiagCmd is
// empty. Otherwise logs its banner, sends DiagCmd and returns true when the
// modem answered OK with a "DIAG " report, which is then decoded; any other
// outcome logs the "not recognized" line and returns false.
bool RunDiagnosticTest(CLogFile& log, CIniFile& ini, const std::atomic<bool>* cancel, CSerial& serial,
                       const ModemCmds& commands);

// Writes the decoded lines of `report` to the log, using the descriptions of
// `section`. Always true: keys without a description are logged as such.
bool DecodeDiagReport(CLogFile& log, CIniFile& ini, const std::string& section, const std::string& report);
