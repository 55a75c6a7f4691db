#include "Judge.h"

#include <cstdio>
#include <regex>

#include "LogCheck.h"

namespace soak {
namespace {

constexpr char kPort[] = "COM3";

void CheckEnd(const LauncherResult& run, int64_t limitMs, std::vector<std::string>& problems) {
  if (!run.found) {
    problems.push_back("no report from soakrun");
    return;
  }
  if (!run.ended) problems.push_back("still running at its limit of " + std::to_string(limitMs) + " ms");
  if (run.elapsedMs > limitMs) {
    problems.push_back("ran " + std::to_string(run.elapsedMs) + " ms, limit " + std::to_string(limitMs) + " ms");
  }
  // Exception codes are NTSTATUS errors, 0xC0000000 to 0xCFFFFFFF.
  const auto code = static_cast<uint32_t>(run.exitCode);
  if (run.ended && (code >> 28) == 0xC) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(code));
    problems.push_back(std::string("crashed: exception ") + text);
  }
}

}  // namespace

LauncherResult ParseLauncherOutput(const std::string& output) {
  static const std::regex line(
      "soakrun: exit (-?[0-9]+) after ([0-9]+) ms; (ended|killed at the limit); debugger: (yes|no); left: ([^\r\n]*)");
  LauncherResult result;
  std::smatch match;
  if (!std::regex_search(output, match, line)) return result;
  result.found = true;
  result.exitCode = std::stol(match[1]);
  result.elapsedMs = std::stoll(match[2]);
  result.ended = match[3] == "ended";
  result.debugger = match[4] == "yes";
  result.left = match[5];
  return result;
}

int WineCrashReports(const std::string& wineErr) {
  int count = 0;
  for (size_t at = wineErr.find("wine: Unhandled"); at != std::string::npos; at = wineErr.find("wine: Unhandled", at + 1))
    ++count;
  return count;
}

bool IsDocumentedModemExit(long code) { return (code >= 0 && code <= 31) || code == -2 || code == -4 || code == -5; }

std::vector<std::string> JudgeModemRun(const LauncherResult& run, int64_t limitMs, const std::string& log,
                                       const RunPlan& plan) {
  std::vector<std::string> problems;
  CheckEnd(run, limitMs, problems);
  if (!run.found) return problems;
  if (!IsDocumentedModemExit(run.exitCode)) problems.push_back("undocumented exit code " + std::to_string(run.exitCode));
  if (run.left != "none") problems.push_back("left behind: " + run.left);
  if (run.ended) {
    for (const std::string& problem : CheckLog(log, {kPort, plan.dials, run.exitCode})) problems.push_back("log: " + problem);
  }
  return problems;
}

bool SetupLogNamesACause(const std::string& debugLog) {
  static const std::regex scriptError("(There is an error in file [^\r\n]+, line [0-9]+)|"
                                      "(cannot open [^\r\n]+ \\(line [0-9]+\\))");
  static const std::regex systemError("Error number -?[0-9]+:");
  return std::regex_search(debugLog, scriptError) || std::regex_search(debugLog, systemError) ||
         debugLog.find(" is not whole: ") != std::string::npos || debugLog.find("the run stops") != std::string::npos ||
         debugLog.find("] offers no product that can be installed") != std::string::npos;
}

std::vector<std::string> JudgeSetupRun(const LauncherResult& run, int64_t limitMs, const std::string& debugLog) {
  std::vector<std::string> problems;
  CheckEnd(run, limitMs, problems);
  if (run.found && run.ended && run.exitCode != 0 && run.exitCode != 3010 && run.exitCode != 1603) {
    problems.push_back("exit code " + std::to_string(run.exitCode));
  }
  if (run.found && run.ended && run.exitCode == 1603 && !SetupLogNamesACause(debugLog))
    problems.push_back("1603 without its cause in the debug log");
  return problems;
}

std::vector<std::string> JudgeSetupControlRun(const LauncherResult& run, int64_t limitMs,
                                              const std::vector<std::string>& missingFiles,
                                              const std::string& systemReg, const std::string& uninstallKey) {
  std::vector<std::string> problems;
  CheckEnd(run, limitMs, problems);
  if (run.found && run.ended && run.exitCode != 0)
    problems.push_back("control run: exit code " + std::to_string(run.exitCode) + ", not 0");
  for (const std::string& file : missingFiles) problems.push_back("control run: not installed: " + file);
  // Registry files write a key's backslashes doubled.
  std::string key = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\" + uninstallKey + "]";
  if (systemReg.find(key) == std::string::npos) problems.push_back("control run: no uninstall entry " + uninstallKey);
  return problems;
}

}  // namespace soak
