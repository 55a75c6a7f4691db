// setup.exe /quiet from the shipped medium against broken media and a
// killed run: a cabinet cut short or damaged, setup.inf cut at ten points of
// its length, and the process killed in each phase of an installation. Each
// broken medium ends within seconds with 1603 and a debug-log line, shows no
// box and installs nothing; after each kill a second installation leaves
// exactly what a normal one leaves, and the removal leaves nothing.
#include "InstalledProduct.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

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
};

const KillPoint kKillPoints[] = {
    {"BeforeServicesStop", "killpoint;step=0/0;kill", -2},  // uninstall entry written, no file yet
    {"BeforeCopy", "killpoint;step=1/0;kill", 2},
    {"DuringCopy", "killpoint;step=1/0;kill=copy", 3},
    {"AfterCopy", "killpoint;step=2/0;kill", 3},
    {"AfterRegistry", "killpoint;step=4/0;kill", 4},
    {"AfterServices", "killpoint;step=3/0;kill", 4},
    {"AfterShortcuts", "killpoint;step=5/0;kill", 5},
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

class KilledInstallation : public testing::TestWithParam<KillPoint>
{
};

TEST_P(KilledInstallation, RunsAgainToTheNormalResultAndIsRemoved)
{
    const KillPoint& point = GetParam();
    const std::string killed = CopyMedium(g_medium, "killed", {"setup.exe", "mdmprobe.cab"});
    ASSERT_TRUE(CopyFileA(g_plugin.c_str(), (killed + "\\testplugin.dll").c_str(), FALSE));
    WriteBytes(killed + "\\setup.inf", ScriptWithKillPoint(point));
    DWORD exitCode = 0;
    ASSERT_TRUE(RunSetup(killed, "/quiet /debug:2,setup.log", kRunMs, &exitCode));
    ASSERT_EQ(kKilledExit, exitCode) << "the plug-in did not end the run";
    const std::string killedLog = ReadFileBytes(killed + "\\setup.log");
    EXPECT_EQ(point.lastStatus, LastStatus(killedLog)) << killedLog;
    EXPECT_EQ(std::string::npos, killedLog.find("wizard: done")) << killedLog;
    EXPECT_TRUE(MachineKeyExists(kEntry)) << "the uninstall entry comes before anything else";

    // The same medium with its own script again: a normal, complete run.
    const std::string again = CopyMedium(g_medium, "again");
    ASSERT_TRUE(RunSetup(again, "/quiet /debug:2,setup.log", kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode) << ReadFileBytes(again + "\\setup.log");
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
