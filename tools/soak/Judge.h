// How a soak run ended, read from soakrun's line, and the rules it must keep.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Faults.h"

namespace soak {

// soakrun's report of one program run (see soakrun.cpp).
struct LauncherResult {
  bool found = false;     // the line was there
  long exitCode = 0;      // full 32-bit exit code, signed
  int64_t elapsedMs = 0;
  bool ended = false;     // ended by itself (not killed at the limit)
  bool debugger = false;  // Wine's debugger was started
  std::string left;       // processes left behind ("none" when none)
};

LauncherResult ParseLauncherOutput(const std::string& output);

// The exit codes the modem test documents: test bits 0 to 31, -2 no modem,
// -4 bad command line, -5 cancelled.
bool IsDocumentedModemExit(long code);

// The problems of a modem-test run; empty when it kept every rule. `limitMs`
// is the run's limit with its margin. A crash of the program shows as its
// exit code: Wine ends a program after an unhandled exception with the
// exception's code (0xC0000005 ...).
std::vector<std::string> JudgeModemRun(const LauncherResult& run, int64_t limitMs, const std::string& log,
                                       const RunPlan& plan);

// Whether setup's debug log names why a run failed: the script error with
// file and line (the message "There is an error in file ..., line N", or
// "cannot open ... (line N)"), a script that is not whole (what is missing),
// a products section that offers nothing, or a failed step with the
// system's error ("Error number N: ...") or the run's stop.
bool SetupLogNamesACause(const std::string& debugLog);

// The problems of a setup run of a mutated script: within `limitMs`, exit 0
// or 1603 (or 3010, when a mutated flag or Reboot line asks for a restart),
// no crash; a 1603 only with its cause in the debug log. Programs the script
// started (StartApp) may be left.
std::vector<std::string> JudgeSetupRun(const LauncherResult& run, int64_t limitMs, const std::string& debugLog);

// The problems of the unmutated control run: within `limitMs`, exit 0, and
// the footprint of a normal installation: every file in `installed` (names
// that must be in the target folder, "" for each one missing) and the
// uninstall entry `uninstallKey` in the machine's registry file.
std::vector<std::string> JudgeSetupControlRun(const LauncherResult& run, int64_t limitMs,
                                              const std::vector<std::string>& missingFiles,
                                              const std::string& systemReg, const std::string& uninstallKey);

// Crashes Wine reported in its output ("Unhandled page fault ..."). The
// program's own crash is judged by its exit code; a crash reported while the
// program ended normally was one of Wine's own processes (its device host,
// at the end of the session): a note for the table, not the program's fault.
int WineCrashReports(const std::string& wineErr);

}  // namespace soak
