// The run's shared records: TestContext (one per run, handed to every page and
// worker) and ModemInfo (the modem under test). Both are created and freed by
// the application's start-up routine; pages and workers never free them.
#pragma once

#include "RunReport.h"
#include "WorkerThread.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class CSerial;
class CIniFile;
class CLogFile;
struct ModemCmds;

// Run status. One signed value carries them all in turn over a run: the scan
// result, then the test result bits, or the start-up's own outcomes.
constexpr int32_t STATUS_NO_MODEM = -2;          // the scan found no modem
constexpr int32_t STATUS_MODEM_FOUND = 1;        // the scan found a compatible modem
constexpr int32_t STATUS_TAPI_FAILED = 1;        // test bits, set by the test run
constexpr int32_t STATUS_RAM_FAILED = 2;
constexpr int32_t STATUS_CRC_FAILED = 4;
constexpr int32_t STATUS_DIAL_FAILED = 8;
constexpr int32_t STATUS_DIAG_FAILED = 16;
constexpr int32_t STATUS_BAD_COMMAND_LINE = -4;  // no known switch: nothing shown or logged
constexpr int32_t STATUS_CANCELLED = -5;         // the wizard was cancelled

struct ModemInfo
{
    std::string port;             // preset from /P:, then the port where the modem was found
    std::string modemName;        // non-empty once a modem was found in this run
    std::string tapiModemName;    // the model's name among the installed Windows modems
    std::string firmwareVersion;  // emptied at the start of every scan
    CSerial* serialPort = nullptr;
    // Set by the main thread (Back, Finish, cancel, teardown) to stop a running
    // scan or test; read by the worker at every check point of a request.
    std::atomic<bool> stopRequested{false};
    ModemCmds* commands = nullptr;
    int32_t minSpeed = 0;
    int32_t connectTime = 0;  // ms; 2000 when the definition file gives 0 or nothing
    int32_t hangupTime = 0;
    // The definition-file section the model's values were loaded from, and
    // the Alias of the model's own section that led there (empty: none).
    std::string definitionSection;
    std::string definitionAlias;
};
static_assert(sizeof(std::atomic<bool>) == 1, "stopRequested is one byte");

struct TestContext
{
    HINSTANCE hInstance = nullptr;
    bool oldStyleWizard = true;   // classic layout: common controls older than 5.80 or unknown
    HFONT titleFont = nullptr;    // welcome title: MS Shell Dlg, bold, 12 pt
    HFONT headerFont = nullptr;   // classic page headings: MS Shell Dlg, bold, 8 pt
    CIniFile* definitionFile = nullptr;
    CLogFile* log = nullptr;
    ModemInfo* modem = nullptr;
    bool autoMode = false;        // started with a known switch
    bool searchAllPorts = true;   // false in automatic mode: only the given port
    bool noDialTone = false;      // dial with DialCmdNoDialT
    std::string phoneNumber;      // prefix included; empty: no dial test
    int32_t status = 0;           // run status (values above)
    // What the result report (/R:) tells; the test runner fills its tests,
    // the port scan its outcome, the start-up routine the rest.
    RunReport report;

    // The worker (port scan or interactive test run) that uses the serial
    // port. Starting a worker through it first waits for the previous one, so
    // a stopped run never overlaps the next; the teardown waits for it after
    // setting stopRequested and before anything is closed or freed.
    CWorkerThread worker;
};
