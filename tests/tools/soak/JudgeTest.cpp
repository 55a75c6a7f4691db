// Reading soakrun's report, judging runs by it, and the table.
#include <gtest/gtest.h>

#include "Judge.h"

#include <algorithm>
#include "Report.h"

namespace soak {
namespace {

const std::string kGoodLog =
    "12:00:00 - ==========================================================\r\n"
    "12:00:00 - = Modem Installationtest - LOGFILE 12/08/2026 =\r\n"
    "12:00:00 - ==========================================================\r\n"
    "12:00:00 - PRG-Mode            : Program started on command line\r\n"
    "12:00:00 -                        -> Automatic mode ON.\r\n"
    "12:00:00 - Command Line        : /P:COM3\r\n"
    "12:00:00 - ==========================================================\r\n"
    "12:00:00 - ===================  BEGIN PORT SCAN  ====================\r\n"
    "12:00:00 - Scanning Port       : COM3\r\n"
    "\r\n"
    "12:00:11 - ================  RESULT OF PORT SCAN  ===================\r\n"
    "12:00:11 - ERROR - No compatible modem has been detected !\r\n";

TEST(Judge, ReadsTheLaunchersLine) {
  const LauncherResult run = ParseLauncherOutput(
      "noise\r\nsoakrun: exit -2 after 11234 ms; ended; debugger: no; left: none\r\n");
  ASSERT_TRUE(run.found);
  EXPECT_EQ(run.exitCode, -2);
  EXPECT_EQ(run.elapsedMs, 11234);
  EXPECT_TRUE(run.ended);
  EXPECT_FALSE(run.debugger);
  EXPECT_EQ(run.left, "none");
  const LauncherResult killed =
      ParseLauncherOutput("soakrun: exit 1 after 90000 ms; killed at the limit; debugger: yes; left: notepad.exe\n");
  EXPECT_FALSE(killed.ended);
  EXPECT_TRUE(killed.debugger);
  EXPECT_EQ(killed.left, "notepad.exe");
  EXPECT_FALSE(ParseLauncherOutput("wine: could not load").found);
}

TEST(Judge, AModemRunKeepsItsLimitItsExitCodesItsLogAndLeavesNothing) {
  RunPlan plan;
  const LauncherResult good = ParseLauncherOutput("soakrun: exit -2 after 11234 ms; ended; debugger: no; left: none");
  EXPECT_TRUE(JudgeModemRun(good, 20000, kGoodLog, plan).empty());
  EXPECT_EQ(JudgeModemRun(good, 11000, kGoodLog, plan).size(), 1u) << "over its limit";
  EXPECT_FALSE(JudgeModemRun(good, 20000, kGoodLog.substr(0, 300), plan).empty());
  EXPECT_FALSE(JudgeModemRun(ParseLauncherOutput("soakrun: exit -2 after 1 ms; ended; debugger: no; left: notepad.exe"),
                             20000, kGoodLog, plan)
                   .empty());
  const auto crashed = JudgeModemRun(
      ParseLauncherOutput("soakrun: exit -1073741819 after 1 ms; ended; debugger: yes; left: none"), 20000, "", plan);
  EXPECT_NE(std::find(crashed.begin(), crashed.end(), "crashed: exception 0xC0000005"), crashed.end());
  EXPECT_FALSE(JudgeModemRun(LauncherResult{}, 20000, kGoodLog, plan).empty());
  EXPECT_EQ(WineCrashReports("x\nwine: Unhandled page fault on read access to 0000000000000008 at address 1 (thread "
                             "0074), starting debugger...\nwine: Unhandled exception 0x80000003\n"),
            2);
  EXPECT_EQ(WineCrashReports("fixme:hid:handle_IRP_MN_QUERY_ID Unhandled type 00000005"), 0);
  for (long code : {0L, 1L, 31L, -2L, -4L, -5L}) EXPECT_TRUE(IsDocumentedModemExit(code)) << code;
  for (long code : {32L, -1L, -3L, 1603L}) EXPECT_FALSE(IsDocumentedModemExit(code)) << code;
}

TEST(Judge, ASetupRunEndsInTimeWithASuccessOrTheFailureCodeAndItsCause) {
  const std::string cause = "setup: cannot copy a to b\nError number 112: There is not enough space on the disk.\n";
  for (long code : {0L, 1603L, 3010L}) {
    LauncherResult run{true, code, 2000, true, false, "mdmprobe.exe"};
    EXPECT_TRUE(JudgeSetupRun(run, 10000, cause).empty()) << code;
  }
  EXPECT_FALSE(JudgeSetupRun({true, 1602, 2000, true, false, "none"}, 10000, cause).empty());
  EXPECT_FALSE(JudgeSetupRun({true, 0, 10001, true, false, "none"}, 10000, "").empty());
  EXPECT_FALSE(JudgeSetupRun({true, 1, 10000, false, false, "none"}, 10000, "").empty());
  EXPECT_FALSE(JudgeSetupRun({true, -1073741819, 900, true, true, "none"}, 10000, "").empty()) << "a crash";

  // A 1603 names its cause: the script with its line, or a failed step.
  const LauncherResult failed{true, 1603, 2000, true, false, "none"};
  for (const char* log : {"setup: cannot open C:\\m\\setup.inf (line 12)\nError number 13: ...\n",
                          "unattended: message box \"\": There is an error in file C:\\m\\setup.inf, line 0. "
                          "Installation can not continue.\n",
                          "setup: C:\\m\\setup.inf is not whole: %DiskName% (in [SourceDisksNames]) is not in [Strings]\n",
                          "setup: the run stops\n",
                          "setup: [Products] offers no product that can be installed; nothing is installed\n"})
    EXPECT_TRUE(JudgeSetupRun(failed, 10000, log).empty()) << log;
  for (const char* log : {"", "setup run: phase 2\n", "cannot open the door\n"}) {
    const std::vector<std::string> problems = JudgeSetupRun(failed, 10000, log);
    ASSERT_EQ(1u, problems.size()) << log;
    EXPECT_EQ("1603 without its cause in the debug log", problems[0]);
  }
}

TEST(Judge, TheControlRunInstallsNormally) {
  const LauncherResult ok{true, 0, 2000, true, false, "mdmprobe.exe"};
  const std::string reg = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ModemTest] 1765\n";
  EXPECT_TRUE(JudgeSetupControlRun(ok, 10000, {}, reg, "ModemTest").empty());
  EXPECT_EQ(std::vector<std::string>{"control run: exit code 1603, not 0"},
            JudgeSetupControlRun({true, 1603, 2000, true, false, "none"}, 10000, {}, reg, "ModemTest"));
  EXPECT_EQ((std::vector<std::string>{"control run: not installed: mdmprobe.exe",
                                      "control run: no uninstall entry ModemTest"}),
            JudgeSetupControlRun(ok, 10000, {"mdmprobe.exe"}, "[Software\\\\Other] 1\n", "ModemTest"));
}

TEST(Report, TableGivesEachKindItsLongestRunAndEveryFailureItsSeed) {
  Report report;
  report.Add({1, 11, {"flood", "cut"}, "flood x; cut y", 0, 30000, 60000, {}, {}});
  report.Add({2, 22, {"flood"}, "flood z", -2, 45000, 50000, {}, {"Wine reported a crash"}});
  report.Add({3, 33, {"cut"}, "cut q", 9, 70000, 60000, {"ran 70000 ms, limit 60000 ms"}, {}});
  const std::string table = report.Table("title");
  EXPECT_EQ(report.Failures(), 1);
  EXPECT_NE(table.find("flood                     2        0  45000 of 50000 ms (90 %, run 2)"), std::string::npos)
      << table;
  EXPECT_NE(table.find("cut                       2        1  70000 of 60000 ms (117 %, run 3)"), std::string::npos)
      << table;
  EXPECT_NE(table.find("all runs                  3        1"), std::string::npos) << table;
  EXPECT_NE(table.find("exit codes: -2 (1) 0 (1) 9 (1)"), std::string::npos) << table;
  EXPECT_NE(table.find("run 3 seed 33 (cut q):\n    ran 70000 ms"), std::string::npos) << table;
  EXPECT_NE(table.find("note: run 2 seed 22: Wine reported a crash\n"), std::string::npos) << table;
}

}  // namespace
}  // namespace soak
