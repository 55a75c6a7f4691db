#include "Judge.h"

#include <regex>

#include "LogCheck.h"

namespace soak {
namespace {

constexpr char kPort[] = "COM3";

void CheckEnd(const LauncherResult& run, int64_t limitMs, const std::string& wineErr,
              std::vector<std::string>& problems) {
  if (!run.found) {
    problems.push_back("no report from soakrun");
    return;
  }
  if (!run.ended) problems.push_back("still running at its limit of " + std::to_string(limitMs) + " ms");
  if (run.elapsedMs > limitMs) {
    problems.push_back("ran " + std::to_string(run.elapsedMs) + " ms, limit " + std::to_string(limitMs) + " ms");
  }
  if (run.debugger || wineErr.find("Unhandled exception") != std::string::npos ||
      wineErr.find("wine: Unhandled") != std::string::npos) {
    problems.push_back("crashed (Wine's debugger or an unhandled exception)");
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

bool IsDocumentedModemExit(long code) { return (code >= 0 && code <= 31) || code == -2 || code == -4 || code == -5; }

std::vector<std::string> JudgeModemRun(const LauncherResult& run, int64_t limitMs, const std::string& log,
                                       const std::string& wineErr, const RunPlan& plan) {
  std::vector<std::string> problems;
  CheckEnd(run, limitMs, wineErr, problems);
  if (!run.found) return problems;
  if (!IsDocumentedModemExit(run.exitCode)) problems.push_back("undocumented exit code " + std::to_string(run.exitCode));
  if (run.left != "none") problems.push_back("left behind: " + run.left);
  if (run.ended) {
    for (const std::string& problem : CheckLog(log, {kPort, plan.dials, run.exitCode})) problems.push_back("log: " + problem);
  }
  return problems;
}

std::vector<std::string> JudgeSetupRun(const LauncherResult& run, int64_t limitMs, const std::string& wineErr) {
  std::vector<std::string> problems;
  CheckEnd(run, limitMs, wineErr, problems);
  if (run.found && run.ended && run.exitCode != 0 && run.exitCode != 3010 && run.exitCode != 1603) {
    problems.push_back("exit code " + std::to_string(run.exitCode));
  }
  return problems;
}

}  // namespace soak
