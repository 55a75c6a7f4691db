// The result report's start and end: the start-up routine records the
// run's start, and at the run's end completes the report from the run's
// records and writes it.
#pragma once

#include <string>

struct TestContext;

// Program, start time, command line, mode, computer name, log and
// definition file paths into context.report; the serial port
// (context.modem->serialPort) records the wire into it from now on.
void StartResultReport(TestContext& context, const std::string& commandLine);

// Closes the serial port and ends its recording, completes context.report
// (end time, status, the modem as identified) and
// writes it to `path` (see WriteFileWhole). A report that cannot be written
// leaves one line in the log, nothing else: no window, no change of status.
// Call it once, after the wizard and every worker have ended and while the
// log is still open.
void FinishResultReport(TestContext& context, const std::string& path);
