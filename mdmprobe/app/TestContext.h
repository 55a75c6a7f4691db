// The run's shared record: TestContext, one per run, handed to every page and
// worker with the modem under test (ModemInfo.h). Both are created and freed
// by the application's start-up routine; pages and workers never free them.
#pragma once

#include "ModemInfo.h"
#include "RunReport.h"
#include "WorkerThread.h"

#include <windows.h>

#include <cstdint>
#include <string>

class CIniFile;
class CLogFile;

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
    int32_t status = 0;           // run status (STATUS_* of ModemInfo.h)
    // What the result report (/R:) tells; the test runner fills its tests,
    // the port scan its outcome, the start-up routine the rest.
    RunReport report;

    // The worker (port scan or interactive test run) that uses the serial
    // port. Starting a worker through it first waits for the previous one, so
    // a stopped run never overlaps the next; the teardown waits for it after
    // setting stopRequested and before anything is closed or freed.
    CWorkerThread worker;
};
