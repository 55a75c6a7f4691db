// The shipped installation medium (dist/x64: setup.exe, setup.inf,
// mdmprobe.cab) installed unattended as a deployment tool would, then
// removed with the command its uninstall entry stores (the program path in
// quotes), as the list of installed programs (UninstallString, through the
// removal wizard) or a deployment tool (QuietUninstallString) would. The
// installed setup.exe runs the removal from a copy in the Windows folder's
// Temp and waits for it: afterwards nothing of the product is left, only
// the copy's folder waits for the restart, and the removal ends with 0;
// with 3010 only when another program holds a file of the product open.
#include "InstalledProduct.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using testsupport::ChildProcess;
using testsupport::FileExists;
using testsupport::ReadFileBytes;
using namespace medium;

namespace {

std::string g_medium;  // Windows path of the medium folder
std::string g_plugin;  // Windows path of the test plug-in library
std::string g_self;    // this test program

// Where Windows looks first for "C:\Program Files\..." written unquoted.
const char kPlanted[] = "C:\\Program.exe";

constexpr DWORD kRunMs = 60000;

// The medium from a folder of its own, as on a CD, installed unattended;
// the modem test it starts at the end is closed. A test log is put beside
// the modem test, as its runs leave one, for the removal to delete.
// `script`: another setup.inf for the medium ("" keeps the shipped one),
// with the test plug-in beside it as testplugin.dll and checks.dll.
void Install(const std::string& script = "")
{
    const std::string medium = CopyMedium(g_medium, "medium");
    if (!script.empty()) {
        std::ofstream(medium + "\\setup.inf", std::ios::binary | std::ios::trunc) << script;
        for (const char* library : {"testplugin.dll", "checks.dll"})
            ASSERT_TRUE(CopyFileA(g_plugin.c_str(), (medium + "\\" + library).c_str(), FALSE)) << library;
    }
    DWORD exitCode = 1;
    ASSERT_TRUE(RunSetup(medium, "/quiet", kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CloseStartedModemTest();

    const std::string target = TargetDir();
    for (const char* file : kFiles) EXPECT_TRUE(FileExists(target + "\\" + file)) << file;
    for (const char* shortcut : kShortcuts) EXPECT_TRUE(FileExists(MenuDir() + "\\" + shortcut)) << shortcut;
    EXPECT_EQ("Vantor Modem Test", MachineText(kEntry, "DisplayName"));
    EXPECT_EQ("\"" + target + "\\setup.exe\" /remove:ModemTest", MachineText(kEntry, "UninstallString"));
    EXPECT_EQ("\"" + target + "\\setup.exe\" /remove:ModemTest /quiet", MachineText(kEntry, "QuietUninstallString"));
    EXPECT_EQ("1.1.0.0", MachineText(kEntry, "ProductVersion")) << "read from mdmprobe.exe inside the cabinet";
    EXPECT_EQ(target, MachineText(kEntry, "UserTargetDir"));
    EXPECT_EQ(target + "\\mdmprobe.exe", MachineText(kAppPath, nullptr));
    std::ofstream(target + "\\mdmprobe.log") << "12:00:00 - a run of the modem test\r\n";
    EXPECT_TRUE(RemovalCopies().empty()) << "an installation makes no removal copy";
}

// Starts the removal command the uninstall entry stores as `value`, whole,
// as the list of installed programs or a deployment tool does (in the
// folder `workDir`, "" for this program's), while a program lies where an
// unquoted path with blanks would find one first ("C:\Program" and ".exe").
bool StartRemoval(const char* value, ChildProcess* remove, const std::string& workDir = "")
{
    EXPECT_TRUE(CopyFileA(g_self.c_str(), kPlanted, FALSE));
    const std::string command = MachineText(kEntry, value);
    EXPECT_FALSE(command.empty()) << value;
    return !command.empty() && remove->Start(command, workDir);
}

// The quiet removal to its end, with `more` switches after the entry's
// command: its exit code (1 when it did not end).
DWORD QuietRemoval(const std::string& more = "")
{
    ChildProcess remove;
    DWORD exitCode = 1;
    const std::string command = MachineText(kEntry, "QuietUninstallString") + more;
    EXPECT_TRUE(CopyFileA(g_self.c_str(), kPlanted, FALSE));
    EXPECT_TRUE(remove.Start(command) && remove.Wait(kRunMs, &exitCode)) << command;
    return exitCode;
}

DWORD ProcessOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

// The files of `folder`, sorted.
std::vector<std::string> FilesOf(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    std::vector<std::string> names;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// The copy left for the restart holds the installed setup.exe, moved there
// whole from the product's folder while it ran, beside the copy's own
// program and script.
void ExpectInstalledProgramMovedInto(const std::string& copy)
{
    const std::vector<std::string> names = FilesOf(copy);
    ASSERT_EQ(3u, names.size()) << "the copy's setup.exe and setup.inf, and the moved program";
    EXPECT_EQ("setup.exe", names[1]);
    EXPECT_EQ("setup.inf", names[2]);
    EXPECT_EQ(ReadFileBytes(g_medium + "\\setup.exe"), ReadFileBytes(copy + "\\" + names[0])) << names[0];
    EXPECT_EQ(ReadFileBytes(g_medium + "\\setup.inf"), ReadFileBytes(copy + "\\setup.inf"));
}

// The shipped script with a plug-in step in its remove section and a
// condition of its install section (which a removal checks too), both
// libraries installed beside setup.exe.
std::string ScriptWithLibraries()
{
    std::string script = ReadFileBytes(g_medium + "\\setup.inf");
    const std::pair<const char*, const char*> inserts[] = {
        {"[SourceDisksFiles]\r\n", "testplugin.dll = 1\r\nchecks.dll = 1\r\n"},
        {"[Setup.Files]\r\nsetup.exe\r\nsetup.inf\r\n", "testplugin.dll\r\nchecks.dll\r\n"},
        {"[Remove]\r\n", "Plugins = \"testplugin.dll:removal;step=2/10\"\r\n"},
        {"[Install]\r\n", "Conditions = Checks\r\n"},
    };
    for (const auto& [after, lines] : inserts) {
        const size_t at = script.find(after);
        EXPECT_NE(std::string::npos, at) << after;
        if (at != std::string::npos) script.insert(at + std::strlen(after), lines);
    }
    return script + "\r\n[Checks]\r\nchecks.dll, ConditionMet\r\n";
}

}  // namespace

// Through the removal wizard, which the copy shows while the installed
// program waits for it and keeps the single-copy lock: a second start of the
// installed program meanwhile ends with 1618 and removes nothing. Started in
// the installed folder, as the Start menu's removal shortcut starts it.
TEST(ShippedMedium, RemovedByUninstallString)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    ChildProcess remove;
    ASSERT_TRUE(StartRemoval("UninstallString", &remove, TargetDir()));
    HWND wizard = uidriver::WaitForWizard(0, 20000);
    ASSERT_NE(nullptr, wizard) << "no removal wizard";
    EXPECT_NE(remove.Id(), ProcessOf(wizard)) << "the copy shows the wizard";
    EXPECT_FALSE(remove.Wait(0)) << "the installed setup.exe waits for its copy";
    DWORD second = 0;
    ASSERT_TRUE(RunSetup(TargetDir(), "/remove:ModemTest /quiet", kRunMs, &second));
    EXPECT_EQ(1618u, second) << "a second start finds the running removal";
    for (const char* file : kFiles) EXPECT_TRUE(FileExists(TargetDir() + "\\" + file)) << file;

    uidriver::Press(wizard, uidriver::WizardButton::Next);
    ASSERT_TRUE(uidriver::WaitFor([&] { return uidriver::ButtonEnabled(wizard, uidriver::WizardButton::Finish); },
                                  kRunMs));
    uidriver::Press(wizard, uidriver::WizardButton::Finish);
    DWORD exitCode = 1;
    ASSERT_TRUE(remove.Wait(kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode) << "the copy's exit code";
    EXPECT_FALSE(FileExists(std::string(kPlanted) + ".ran"));
    ExpectNothingLeft();
    ExpectCopyLeftForTheRestart();
}

// As a deployment tool removes it: 0, nothing of the product waits for the
// restart, and the restart deletes the copy's folder. The installation log
// the tool asks for is the copy's alone: one header, the move, the end.
TEST(ShippedMedium, RemovedByQuietUninstallString)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string log = testsupport::RunDir() + "\\removal log.txt";
    EXPECT_EQ(0u, QuietRemoval(" \"/log:" + log + "\""));
    const std::string lines = ReadFileBytes(log);
    EXPECT_EQ(lines.find("===== setup "), lines.rfind("===== setup ")) << lines;
    EXPECT_NE(std::string::npos, lines.find(" the running " + TargetDir() + "\\setup.exe is moved to ")) << lines;
    const std::string last = lines.substr(0, lines.find_last_not_of("\r\n") + 1);
    EXPECT_EQ(last.size() - 17, last.rfind(" exit 0 (success)")) << lines;
    EXPECT_FALSE(FileExists(std::string(kPlanted) + ".ran"));
    ExpectNothingLeft();
    const std::string copy = ExpectCopyLeftForTheRestart();
    ASSERT_FALSE(copy.empty());
    ExpectInstalledProgramMovedInto(copy);
}

// The libraries the script names go into the copy, which loads them from
// there: the installed folder goes at once, and the removal ends with 0.
TEST(ShippedMedium, LibrariesTheScriptNamesRunFromTheCopy)
{
    const std::string log = testsupport::RunDir() + "\\plugin.log";
    ASSERT_TRUE(SetEnvironmentVariableA("PLUGIN_TEST_LOG", log.c_str()));
    ASSERT_NO_FATAL_FAILURE(Install(ScriptWithLibraries()));
    for (const char* library : {"testplugin.dll", "checks.dll"})
        ASSERT_TRUE(FileExists(TargetDir() + "\\" + library)) << library;
    ASSERT_TRUE(DeleteFileA(log.c_str()));

    EXPECT_EQ(0u, QuietRemoval());
    const std::string calls = ReadFileBytes(log);
    EXPECT_NE(std::string::npos, calls.find("checks.dll|ConditionMet")) << calls;
    EXPECT_NE(std::string::npos, calls.find("testplugin.dll|TestStep|removal;step=2/10|" + TargetDir() +
                                            "|installing=0"))
        << calls;
    ExpectNothingLeft();
    const std::string copy = ExpectCopyLeftForTheRestart();
    const std::vector<std::string> files = FilesOf(copy);
    for (const char* library : {"testplugin.dll", "checks.dll"}) {
        EXPECT_NE(files.end(), std::find(files.begin(), files.end(), library)) << library;
        EXPECT_EQ(ReadFileBytes(g_plugin), ReadFileBytes(copy + "\\" + library)) << library;
    }
}

// A file of the product that another program holds open waits for the
// restart, and so do its folders: 3010. The installed setup.exe still
// leaves at once.
TEST(ShippedMedium, AFileHeldOpenStillWaitsForTheRestart)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string held = TargetDir() + "\\mdmprobe.exe";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(3010u, QuietRemoval());
    CloseHandle(file);
    ExpectNothingLeft({"mdmprobe.exe"});
    ExpectCopyLeftForTheRestart();
}

// The copy's switch is taken only from a removal copy's folder in the
// Windows folder's Temp: given to the installed program, or to a copy in a
// folder that merely carries such a name elsewhere, it ends the run with
// 1639 before anything is removed.
TEST(ShippedMedium, CopySwitchOutsideACopysFolderIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string lookalike = CopyMedium(TargetDir(), "removal-0123456789abcdef", {"setup.exe", "setup.inf"});
    for (const std::string& folder : {TargetDir(), lookalike}) {
        DWORD exitCode = 0;
        ASSERT_TRUE(RunSetup(folder, "/remove:ModemTest /quiet /removalcopy", kRunMs, &exitCode));
        EXPECT_EQ(1639u, exitCode) << folder;
        for (const char* file : kFiles) EXPECT_TRUE(FileExists(TargetDir() + "\\" + file)) << file;
        EXPECT_TRUE(MachineKeyExists(kEntry)) << folder;
        EXPECT_TRUE(RemovalCopies().empty());
    }
}

int main(int argc, char** argv)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    g_self = self;
    if (lstrcmpiA(self, kPlanted) == 0) {  // started in place of setup.exe: leaves its mark
        std::ofstream(std::string(self) + ".ran") << GetCommandLineA();
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: setup_medium_e2e_test MEDIUM-FOLDER TEST-PLUGIN.dll\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    g_plugin = testsupport::UnixToWinPath(argv[2]);
    return RUN_ALL_TESTS();
}
