// setup.exe /quiet from the shipped medium against broken media and a
// killed run: a cabinet cut short or damaged, setup.inf cut at ten points of
// its length, and the process killed in each phase of an installation. Each
// broken medium ends within seconds with 1603 and a debug-log line, shows no
// box and installs nothing; after each kill the next start undoes what the
// killed run did (a start that is only cancelled too), a second
// installation leaves exactly what a normal one leaves, and the removal
// leaves nothing. The installation log of a killed run ends with the last
// thing it did.
#include "InstalledProduct.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace medium;
using testsupport::FileExists;
using testsupport::ReadFileBytes;

namespace {

std::string g_medium;  // Windows path of the medium folder
std::string g_plugin;  // Windows path of the test plug-in library

constexpr DWORD kBrokenMs = 20000;  // a broken medium ends in seconds; the margin is for a loaded machine
constexpr DWORD kRunMs = 60000;
constexpr DWORD kKilledExit = 0xDEAD;  // the test plug-in's exit code when it ends the process

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Runs `setup.exe /quiet` of `folder` with a broken file: 1603 within
// seconds, no box, a debug-log line holding `logged`, nothing installed.
void ExpectStoppedAtOnce(const std::string& folder, const std::string& logged)
{
    DWORD exitCode = 0;
    bool sawDialog = false;
    ASSERT_TRUE(RunSetup(folder, "/quiet /debug:2,setup.log", kBrokenMs, &exitCode, &sawDialog)) << "it hangs";
    EXPECT_EQ(1603u, exitCode);
    EXPECT_FALSE(sawDialog);
    const std::string log = ReadFileBytes(folder + "\\setup.log");
    EXPECT_NE(std::string::npos, log.find(logged)) << log;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TargetDir().c_str())) << "nothing is installed";
    EXPECT_FALSE(MachineKeyExists(kEntry));
}

TEST(SetupFaults, DamagedCabinetStopsTheInstallationBeforeAnything)
{
    const std::string cabinet = ReadFileBytes(g_medium + "\\mdmprobe.cab");
    ASSERT_GT(cabinet.size(), 100000u);
    std::vector<std::pair<std::string, std::string>> broken;
    for (size_t length : {size_t(100), cabinet.size() / 2, cabinet.size() - 1})
        broken.emplace_back("cut at " + std::to_string(length), cabinet.substr(0, length));
    std::string flipped = cabinet;
    flipped[cabinet.size() / 2] ^= 0x01;
    broken.emplace_back("one bit changed", flipped);
    // The same change to an even number of words leaves the checksum as it
    // was: the data itself no longer decodes.
    std::string hidden = cabinet;
    for (size_t i = cabinet.size() / 3; i < cabinet.size() / 3 + 64; ++i)
        hidden[i] ^= 0x5A;
    broken.emplace_back("64 bytes changed alike", hidden);
    int run = 0;
    for (const auto& [what, bytes] : broken) {
        SCOPED_TRACE(what);
        const std::string folder = CopyMedium(g_medium, "cabinet" + std::to_string(++run), {"setup.exe", "setup.inf"});
        WriteBytes(folder + "\\mdmprobe.cab", bytes);
        ExpectStoppedAtOnce(folder, "setup: the cabinet " + folder + "\\mdmprobe.cab is damaged (");
    }
}

TEST(SetupFaults, ScriptCutAtTenPointsStopsTheInstallation)
{
    const std::string script = ReadFileBytes(g_medium + "\\setup.inf");
    ASSERT_GT(script.size(), 2000u);
    for (size_t tenth = 0; tenth < 10; ++tenth) {
        const size_t length = script.size() * tenth / 10;
        SCOPED_TRACE("cut at " + std::to_string(length));
        const std::string folder = CopyMedium(g_medium, "cut" + std::to_string(tenth), {"setup.exe", "mdmprobe.cab"});
        WriteBytes(folder + "\\setup.inf", script.substr(0, length));
        // The first cuts do not open; the others open but are not whole.
        ExpectStoppedAtOnce(folder, tenth < 2 ? "setup: cannot open " + folder + "\\setup.inf"
                                              : "setup: " + folder + "\\setup.inf is not whole: ");
    }
}

// A kill point: a step of the test plug-in at a level of the run ends the
// process (or, "copy", watches the file copy that follows and ends it once
// the first file is in the target folder).
struct KillPoint
{
    const char* name;
    const char* plugin;  // the parameter text of the Plugins line
    int lastStatus;      // the last "wizard: status" the debug log shows
    // The last line of the installation log: its action (any of a list
    // separated by "|") and how its subject ends ("": any).
    const char* lastActions;
    const char* lastSubjectEnd;
};

const char kEntryValues[] = "\\Uninstall\\ModemTest";
const char kAppPathValues[] = "\\App Paths\\mdmprobe.exe";

const KillPoint kKillPoints[] = {
    // The uninstall entry is written, no file yet.
    {"BeforeServicesStop", "killpoint;step=0/0;kill", -2, "set-value", kEntryValues},
    {"BeforeCopy", "killpoint;step=1/0;kill", 2, "set-value", kEntryValues},
    // Killed once the first file is there: its line may be written or not.
    {"DuringCopy", "killpoint;step=1/0;kill=copy", 3, "plugin-steps|copy", ""},
    {"AfterCopy", "killpoint;step=2/0;kill", 3, "copy", "\\mdmprobe.dat"},
    {"AfterRegistry", "killpoint;step=4/0;kill", 4, "set-value", kAppPathValues},
    {"AfterServices", "killpoint;step=3/0;kill", 4, "set-value", kAppPathValues},
    {"AfterShortcuts", "killpoint;step=5/0;kill", 5, "create-shortcut", "\\Remove Vantor Modem Test.lnk"},
};

void PrintTo(const KillPoint& point, std::ostream* out)
{
    *out << point.name;
}

// The shipped script with the kill point's plug-in in its [Install] section.
std::string ScriptWithKillPoint(const KillPoint& point)
{
    std::string script = ReadFileBytes(g_medium + "\\setup.inf");
    const size_t install = script.find("[Install]\r\n");
    EXPECT_NE(std::string::npos, install);
    return script.insert(install + 11, std::string("Plugins = \"testplugin.dll:") + point.plugin + "\"\r\n");
}

// The last phase the page was told of, from "wizard: status N 0" lines; -2
// when none.
int LastStatus(const std::string& log)
{
    int last = -2;
    for (size_t at = log.find("wizard: status "); at != std::string::npos; at = log.find("wizard: status ", at + 1))
        last = std::atoi(log.c_str() + at + 15);
    return last;
}

// The installation log of a run killed at `point`: whole lines, the header
// first, no exit line, and the last line the point's last action.
void ExpectLogEndsWithLastAction(const std::string& log, const KillPoint& point)
{
    ASSERT_FALSE(log.empty());
    EXPECT_EQ('\n', log.back()) << "a line cut short";
    std::vector<std::string> words, subjects;  // per line: its first word after the time, and what follows
    for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = log.substr(at, end - at);
        ASSERT_GT(line.size(), 9u) << line;
        const size_t blank = line.find(' ', 9);
        words.push_back(line.substr(9, blank - 9));
        subjects.push_back(blank == std::string::npos ? ""
                                                      : line.substr(blank + 1, line.find("  ", blank + 1) - blank - 1));
    }
    ASSERT_FALSE(words.empty());
    EXPECT_EQ("=====", words.front());
    EXPECT_EQ(words.end(), std::find(words.begin(), words.end(), "exit")) << "a killed run has no exit line";
    const std::string last = "|" + words.back() + "|";
    EXPECT_NE(std::string::npos, ("|" + std::string(point.lastActions) + "|").find(last)) << words.back();
    const std::string& subject = subjects.back();
    const std::string end = point.lastSubjectEnd;
    EXPECT_TRUE(subject.size() >= end.size() && subject.compare(subject.size() - end.size(), end.size(), end) == 0)
        << subject << " does not end with " << end;
}

class KilledInstallation : public testing::TestWithParam<KillPoint>
{
};

TEST_P(KilledInstallation, RunsAgainToTheNormalResultAndIsRemoved)
{
    const KillPoint& point = GetParam();
    const std::string killed = CopyMedium(g_medium, "killed", {"setup.exe", "mdmprobe.cab"});
    ASSERT_TRUE(CopyFileA(g_plugin.c_str(), (killed + "\\testplugin.dll").c_str(), FALSE));
    WriteBytes(killed + "\\setup.inf", ScriptWithKillPoint(point));
    const auto runKilled = [&] {
        DWORD exitCode = 0;
        DeleteFileA((killed + "\\run.log").c_str());
        ASSERT_TRUE(
            RunSetup(killed, "/quiet /debug:2,setup.log \"/log:" + killed + "\\run.log\"", kRunMs, &exitCode));
        ASSERT_EQ(kKilledExit, exitCode) << "the plug-in did not end the run";
        const std::string killedLog = ReadFileBytes(killed + "\\setup.log");
        // The page writes its status line on its own thread: a kill during
        // the copy may come before the line of the copy's phase.
        const int lastStatus = LastStatus(killedLog);
        if (std::string(point.name) == "DuringCopy")
            EXPECT_TRUE(lastStatus == 2 || lastStatus == 3) << killedLog;
        else
            EXPECT_EQ(point.lastStatus, lastStatus) << killedLog;
        EXPECT_EQ(std::string::npos, killedLog.find("wizard: done")) << killedLog;
        const std::string runLog = ReadFileBytes(killed + "\\run.log");
        ExpectLogEndsWithLastAction(runLog, point);
        if (HasFailure())
            std::printf("%s", runLog.c_str());
        EXPECT_TRUE(MachineKeyExists(kEntry)) << "the uninstall entry comes before anything else";
    };
    const auto undoneFirst = [](const std::string& folder) {
        const std::string log = ReadFileBytes(folder + "\\setup.log");
        EXPECT_NE(std::string::npos, log.find("did not finish; it is undone first")) << log;
        EXPECT_NE(std::string::npos, log.find("rollback: ")) << log;
    };
    const std::vector<std::string> clean = Footprint();
    runKilled();

    // A start that only shows the wizard, cancelled: the killed run's
    // journal is undone before the wizard, so nothing of it is left.
    const std::string looked = CopyMedium(g_medium, "looked");
    testsupport::ChildProcess wizardOnly;
    ASSERT_TRUE(wizardOnly.Start("\"" + looked + "\\setup.exe\" /debug:2,setup.log", looked));
    HWND wizard = uidriver::WaitForWizard(wizardOnly.Id(), 20000);
    ASSERT_NE(nullptr, wizard);
    EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs));
    DWORD exitCode = 0;
    ASSERT_TRUE(wizardOnly.Wait(kRunMs, &exitCode));
    EXPECT_EQ(1602u, exitCode);
    undoneFirst(looked);
    EXPECT_EQ(clean, Footprint());
    EXPECT_FALSE(MachineKeyExists(kEntry));
    EXPECT_FALSE(testsupport::FileExists("C:\\windows\\VantorSetupJournal"));

    // Killed again; then the same medium with its own script: the journal
    // is undone first, then a normal, complete run.
    runKilled();
    const std::string again = CopyMedium(g_medium, "again");
    ASSERT_TRUE(RunSetup(again, "/quiet /debug:2,setup.log", kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode) << ReadFileBytes(again + "\\setup.log");
    undoneFirst(again);
    CloseStartedModemTest();
    const std::vector<std::string> repaired = Footprint();

    // Removed as a deployment tool would: nothing is left but the removal's
    // copy, which goes at the restart.
    testsupport::ChildProcess remove;
    ASSERT_TRUE(remove.Start(MachineText(kEntry, "QuietUninstallString")));
    ASSERT_TRUE(remove.Wait(kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode);
    ExpectNothingLeft();
    const std::string copy = ExpectCopyLeftForTheRestart();
    testsupport::ChildProcess restart;
    ASSERT_TRUE(restart.Start("wineboot.exe -r") && restart.Wait(kRunMs));
    EXPECT_FALSE(copy.empty() || testsupport::FileExists(copy)) << "the copy goes at the restart";

    // A normal installation on the clean machine leaves what the repaired one left.
    const std::string normal = CopyMedium(g_medium, "normal");
    ASSERT_TRUE(RunSetup(normal, "/quiet", kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CloseStartedModemTest();
    EXPECT_EQ(Footprint(), repaired);
}

INSTANTIATE_TEST_SUITE_P(Phases, KilledInstallation, testing::ValuesIn(kKillPoints),
                         [](const testing::TestParamInfo<KillPoint>& info) { return info.param.name; });

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: setup_faults_e2e_test MEDIUM-FOLDER TEST-PLUGIN.dll\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    g_plugin = testsupport::UnixToWinPath(argv[2]);
    return RUN_ALL_TESTS();
}
