// The installation log (/log:) of setup.exe /quiet with the shipped medium:
// a log that cannot be opened or written changes nothing else in the run
// (exit code, what it leaves in Windows) and costs one debug-log line; and
// a second installation and a removal say of each file what became of it:
// kept because the installed one is newer, replaced, or left in use for
// the restart, with the reason for the restart.
#include "InstalledProduct.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace medium;
using testsupport::ReadFileBytes;

namespace {

std::string g_medium;  // Windows path of the medium folder
constexpr DWORD kRunMs = 60000;

// What an installation did: its exit code, what it left in Windows, and
// the debug log's lines about the installation log.
struct Outcome
{
    DWORD exitCode = 0;
    std::vector<std::string> footprint;
    std::vector<std::string> logLines;
};

std::vector<std::string> LinesWith(const std::string& text, const std::string& part)
{
    std::vector<std::string> lines;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(at, end - at);
        if (line.find(part) != std::string::npos)
            lines.push_back(line);
    }
    return lines;
}

// Installs the medium unattended with `logSwitch` (may be empty), notes the
// outcome, then removes the product and restarts, so that the next
// installation finds a clean machine.
Outcome InstallOnCleanMachine(const std::string& name, const std::string& logSwitch)
{
    const std::string folder = CopyMedium(g_medium, name);
    const std::string debug = folder + "\\debug.log";
    Outcome outcome;
    EXPECT_TRUE(RunSetup(folder, "/quiet /startapp:0 /debug:1," + debug + " " + logSwitch, kRunMs,
                         &outcome.exitCode));
    outcome.footprint = Footprint();
    outcome.logLines = LinesWith(ReadFileBytes(debug), "installation log");
    testsupport::ChildProcess remove, restart;
    EXPECT_TRUE(remove.Start(MachineText(kEntry, "QuietUninstallString")) && remove.Wait(kRunMs));
    EXPECT_TRUE(restart.Start("wineboot.exe -r") && restart.Wait(kRunMs));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TargetDir().c_str())) << "not clean for the next run";
    return outcome;
}

struct BadLog
{
    std::string what;
    std::string logSwitch;  // the /log: switch, quoted where needed
    std::string said;       // what the debug-log line says of it
};

// Each log switch installs as a run without one does, with one debug-log
// line about the log.
void ExpectLogChangesNothing(const std::vector<BadLog>& cases)
{
    const Outcome reference = InstallOnCleanMachine("reference", "");
    ASSERT_FALSE(reference.footprint.empty());
    EXPECT_TRUE(reference.logLines.empty());
    int run = 0;
    for (const BadLog& bad : cases) {
        SCOPED_TRACE(bad.what + ": " + bad.logSwitch);
        const Outcome outcome = InstallOnCleanMachine("run" + std::to_string(++run), bad.logSwitch);
        EXPECT_EQ(reference.exitCode, outcome.exitCode);
        EXPECT_EQ(reference.footprint, outcome.footprint);
        ASSERT_EQ(1u, outcome.logLines.size());
        EXPECT_NE(std::string::npos, outcome.logLines.front().find(bad.said)) << outcome.logLines.front();
    }
}

TEST(RunLogFaults, LogThatCannotBeOpenedChangesNothing)
{
    const std::string folder = testsupport::RunDir() + "\\a log folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    // A file another program holds open without sharing it for writing.
    const std::string held = testsupport::RunDir() + "\\held.log";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const char* notOpened = "cannot be opened; the run goes on without it";
    ExpectLogChangesNothing({{"a folder that does not exist", "\"/log:" + folder + "\\missing\\setup.log\"", notOpened},
                             {"a folder", "\"/log:" + folder + "\"", notOpened},
                             {"a file held open", "\"/log:" + held + "\"", notOpened}});
    CloseHandle(file);
}

TEST(RunLogFaults, LogOnAReadOnlyOrFullDriveChangesNothing)
{
    const std::string noSandbox = testsupport::NoSandboxReason("the read-only drive R: and the small drive D:");
    if (!noSandbox.empty())
        GTEST_SKIP() << noSandbox;
    // D: full: the log opens, and not a line of it can be written.
    HANDLE filler = CreateFileA(R"(D:\filler)", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, filler);
    const std::string block(4096, 'x');
    DWORD written = 0;
    while (WriteFile(filler, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written > 0) {
    }
    CloseHandle(filler);
    ExpectLogChangesNothing(
        {{"a read-only drive", R"(/log:R:\setup.log)", "cannot be opened; the run goes on without it"},
         {"a full drive", R"(/log:D:\setup.log)", "cannot be written; the run goes on without it"}});
    bool opened = false;
    EXPECT_EQ("", ReadFileBytes(R"(D:\setup.log)", &opened));
    EXPECT_TRUE(opened) << "the log on the full drive was opened";
}

// The bytes of the fixed file information of a version resource.
const char kFixedInfoSignature[] = "\xBD\x04\xEF\xFE";

// The major file version of the program at `path`; -1 when it has none.
int MajorVersion(const std::string& path)
{
    const std::string bytes = ReadFileBytes(path);
    const size_t at = bytes.find(std::string(kFixedInfoSignature, 4));
    if (at == std::string::npos || at + 12 > bytes.size())
        return -1;
    uint32_t fileVersionMs = 0;
    std::memcpy(&fileVersionMs, bytes.data() + at + 8, 4);
    return static_cast<int>(fileVersionMs >> 16);
}

// Gives the program at `path` the next major file version.
void RaiseMajorVersion(const std::string& path)
{
    std::string bytes = ReadFileBytes(path);
    const size_t at = bytes.find(std::string(kFixedInfoSignature, 4));
    ASSERT_NE(std::string::npos, at) << path << " has no version resource";
    uint32_t fileVersionMs = 0;
    std::memcpy(&fileVersionMs, bytes.data() + at + 8, 4);
    fileVersionMs += 0x10000;
    std::memcpy(&bytes[at + 8], &fileVersionMs, 4);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The detail of the log's line "ACTION SUBJECT  DETAIL" ("" with its
// subject only; "(none)" when there is no such line).
std::string Detail(const std::string& log, const std::string& action, const std::string& subject)
{
    const std::vector<std::string> lines = LinesWith(log, " " + action + " " + subject);
    if (lines.empty())
        return "(none)";
    EXPECT_EQ(1u, lines.size()) << action << " " << subject;
    const std::string& line = lines.front();
    const size_t at = line.find(" " + action + " " + subject) + action.size() + subject.size() + 2;
    std::string detail = line.compare(at, 2, "  ") == 0 ? line.substr(at + 2) : line.substr(at);
    if (!detail.empty() && detail.back() == '\r')
        detail.pop_back();
    return detail;
}

TEST(RunLog, SecondInstallationAndRemovalSayWhatBecameOfEachFile)
{
    // The modem test loose beside the cabinet: the Setup API copies a loose
    // file, and compares versions for it.
    const std::string folder =
        CopyMedium(g_medium, "medium", {"setup.exe", "setup.inf", "mdmprobe.cab", "mdmprobe.exe"});
    DWORD exitCode = 1;
    ASSERT_TRUE(RunSetup(folder, "/quiet /startapp:0", kRunMs, &exitCode));
    ASSERT_EQ(0u, exitCode);

    // A newer modem test is installed meanwhile, and setup.inf is open.
    const std::string target = TargetDir();
    const int shipped = MajorVersion(target + "\\mdmprobe.exe");
    RaiseMajorVersion(target + "\\mdmprobe.exe");
    ASSERT_EQ(shipped + 1, MajorVersion(target + "\\mdmprobe.exe"));
    HANDLE held = CreateFileA((target + "\\setup.inf").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const std::string second = folder + "\\second.log";
    ASSERT_TRUE(RunSetup(folder, "/quiet /startapp:0 \"/log:" + second + "\"", kRunMs, &exitCode));
    CloseHandle(held);
    EXPECT_EQ(3010u, exitCode);
    const std::string log = ReadFileBytes(second);
    SCOPED_TRACE(log);
    EXPECT_EQ("kept: the installed file has a newer version", Detail(log, "copy", target + "\\mdmprobe.exe"));
    EXPECT_EQ(shipped + 1, MajorVersion(target + "\\mdmprobe.exe")) << "the newer one stays";
    EXPECT_EQ("replaced", Detail(log, "copy", target + "\\setup.exe"));
    EXPECT_EQ("replaced", Detail(log, "copy", target + "\\mdmprobe.ini"));
    EXPECT_EQ("replaced at the next restart (in use)", Detail(log, "copy", target + "\\setup.inf"));
    EXPECT_NE(std::string::npos,
              testsupport::PendingRenameOnto(testsupport::PendingOperations(), target + "\\setup.inf"));
    EXPECT_EQ("the file is in use: the new one replaces it at the next restart",
              Detail(log, "restart-needed", target + "\\setup.inf"));
    EXPECT_EQ(1u, LinesWith(log, " restart-needed ").size()) << "the only reason";
    EXPECT_EQ("(none)", Detail(log, "make-folder", target)) << "the folder was there";

    // Removed while the modem test's definition file is open.
    held = CreateFileA((target + "\\mdmprobe.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                       nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const std::string removal = folder + "\\removal.log";
    testsupport::ChildProcess remove;
    ASSERT_TRUE(remove.Start(MachineText(kEntry, "QuietUninstallString") + " \"/log:" + removal + "\""));
    ASSERT_TRUE(remove.Wait(kRunMs, &exitCode));
    CloseHandle(held);
    EXPECT_EQ(3010u, exitCode);
    const std::string removed = ReadFileBytes(removal);
    SCOPED_TRACE(removed);
    EXPECT_EQ("at the next restart (in use)", Detail(removed, "delete", target + "\\mdmprobe.ini"));
    EXPECT_TRUE(DeletedAtRestart(target + "\\mdmprobe.ini"));
    EXPECT_EQ("the file is in use: it is deleted at the next restart",
              Detail(removed, "restart-needed", target + "\\mdmprobe.ini"));
    EXPECT_EQ("now", Detail(removed, "delete", target + "\\mdmprobe.dat"));
    EXPECT_FALSE(testsupport::FileExists(target + "\\mdmprobe.dat"));
    EXPECT_EQ("it was not there", Detail(removed, "delete", target + "\\mdmprobe.log"));
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_runlog_e2e_test MEDIUM-FOLDER\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
