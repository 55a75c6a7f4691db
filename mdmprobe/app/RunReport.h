// The result report of a run (/R:FILE): what a collector of many machines'
// results needs without reading the log. The record is filled along the
// run (the scan's outcome by the port scan, the tests by the test
// sequence, the rest at the end by the start-up routine) and turned into
// one JSON document here; mdmprobe/report.schema.json describes it.
// Plain strings only: built and tested on the host.
#pragma once

#include "DiagReport.h"
#include "WireTranscript.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ScanOutcome
{
    NotRun,   // no scan ended
    Found,    // a modem was identified
    NoModem,  // every port tried, none with a modem of the family
    Stopped,  // the user stopped the scan
};

enum class TestOutcome { NotRun, Passed, Failed };

// Why a test did not run; the texts appear in the report as they are.
constexpr char kReasonCancelled[] = "cancelled";        // the user stopped the run before or during it
constexpr char kReasonNoModem[] = "no modem";           // the scan found no modem
constexpr char kReasonCallFailed[] = "call failed";     // the readout needs a test call that passed
constexpr char kReasonNoNumber[] = "no number";         // no telephone number: no test call
constexpr char kReasonNoCommand[] = "no command";       // the model has no DiagCmd

// The tests in run order; also their index in RunReport::tests.
enum TestId { kTestTapi, kTestRam, kTestCrc, kTestDial, kTestDiag, kTestCount };

struct TestReport
{
    TestOutcome outcome = TestOutcome::NotRun;
    std::string reason;  // NotRun: one of the kReason* texts; empty: the run never got to it
    bool sent = false;   // a command went to the modem: command and answer are known
    std::string command;
    std::string answer;
};

struct CallReport
{
    std::string number;      // the number dialled (prefix included)
    std::string result;      // the first final call result ("CONNECT", "BUSY", ...); empty: none
    bool speedRead = false;  // the connect answer was there and its speed figure read
    unsigned speed = 0;
    int32_t minSpeed = 0;
    int32_t connectTime = 0;  // ms the line was to be held
};

struct RunReport
{
    // Start-up.
    std::string programName;
    std::string programVersion;
    std::string started;  // ISO 8601 with the local offset (FormatIsoTime)
    std::string commandLine;
    bool automatic = false;
    std::string computerName;
    std::string logPath;
    std::string definitionPath;

    // Port scan and identification.
    ScanOutcome scan = ScanOutcome::NotRun;
    std::string port;
    std::string modemName;
    std::string firmwareVersion;
    std::string tapiName;
    std::string section;  // the definition-file section the model's values came from
    std::string alias;    // the Alias that led there; empty: the model's own section

    // The latest test run (an interactive run may test more than once).
    bool testsRan = false;
    TestReport tests[kTestCount];
    CallReport call;
    std::vector<DiagRecord> diagRecords;  // the decoded report of the readout

    // The exchange with the modem; the serial port records into it while
    // the report is asked for (/R:).
    CWireTranscript wire;

    // End.
    std::string ended;
    int32_t status = 0;
};

// "2005-01-20T14:03:09+01:00": local date and time and the local offset
// from UTC in minutes (east positive).
std::string FormatIsoTime(int year, int month, int day, int hour, int minute, int second,
                          int offsetMinutes);

// The meaning of a run status, as the exit-code table of the README gives
// it. `testsRan` tells 1 "installed modem failed" from 1 "modem found,
// tests not run", and 0 "all tests passed" from 0 "nothing tested".
std::string StatusMeaning(int32_t status, bool testsRan);

// The whole report as a JSON document with a final line feed.
std::string FormatRunReport(const RunReport& report);

// Where the report of `/R:name` goes: a name with a drive ("C:...") or
// starting with a backslash as it is, any other name in the program's
// folder (the folder of `programPath`).
std::string ReportPathFor(const std::string& name, const std::string& programPath);
