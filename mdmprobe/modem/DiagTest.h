// The diagnostic readout: sends the model's diagnostic command and decodes
// the modem's report into the test log with the key descriptions of the
// definition-file section named like the command.
//
// Runs on the worker that owns the serial port at the time (port scan or
// test run); `cancel` is ModemInfo::stopRequested.
#pragma once

#include "DiagReport.h"

#include <atomic>
#include <string>
#include <vector>

class CIniFile;
class CLogFile;
class CSerial;
struct ModemCmds;

// What the readout received, for callers that keep more than the log.
struct DiagReading
{
    bool sent = false;                // DiagCmd went out (the port was open and the command set)
    std::string answer;               // the modem's answer as collected
    std::vector<DiagRecord> records;  // the decoded report; empty when none was recognised
};

// False without logging anything when the port is closed or DiagCmd is
// empty. Otherwise logs its banner, sends DiagCmd and returns true when the
// modem answered OK with a "DIAG " report, which is then decoded; any other
// outcome logs the "not recognized" line and returns false. `reading`, when
// given, is filled as described above.
bool RunDiagnosticTest(CLogFile& log, CIniFile& ini, const std::atomic<bool>* cancel, CSerial& serial,
                       const ModemCmds& commands, DiagReading* reading = nullptr);

// Writes the decoded lines of `report` to the log, using the descriptions of
// `section`; `records`, when given, gets the decoded report. Always true:
// keys without a description are logged as such.
bool DecodeDiagReport(CLogFile& log, CIniFile& ini, const std::string& section, const std::string& report,
                      std::vector<DiagRecord>* records = nullptr);
