// The shipped medium as deployment tools start it: the installation folder
// and the log on the command line, a newer installed version answered by a
// switch, no program started at the end, the usage, and what an invalid or
// ignored switch does. Every unattended run here is watched for windows.
#include "InstalledProduct.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using testsupport::FileExists;
using testsupport::ReadFileBytes;
using namespace medium;

namespace {

std::string g_medium;  // Windows path of the medium folder

constexpr DWORD kRunMs = 60000;
const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// What a removal by QuietUninstallString ends with: it runs from a copy,
// so nothing of the product waits for the restart.
constexpr DWORD kRemovalExit = 0;

std::string Medium()
{
    static const std::string folder = CopyMedium(g_medium, "medium");
    return folder;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Whether a process of `exe` (a file name) runs.
bool ProcessRuns(const char* exe)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exe) == 0;
    CloseHandle(snapshot);
    return found;
}

// The names of the values of HKLM\`key` (none when it is missing).
std::vector<std::string> ValueNames(const char* key)
{
    std::vector<std::string> names;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0, size = sizeof(name); RegEnumValueA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                                           ERROR_SUCCESS;
         ++i, size = sizeof(name))
        names.emplace_back(name);
    RegCloseKey(handle);
    return names;
}

// Runs the medium's setup.exe with `arguments`; fails the test on a hang
// or, when `windowless`, on any window it showed.
DWORD RunMedium(const std::string& arguments, bool windowless = true)
{
    DWORD exitCode = 0;
    bool sawDialog = false;
    EXPECT_TRUE(RunSetup(Medium(), arguments, kRunMs, &exitCode, &sawDialog)) << arguments;
    if (windowless) {
        EXPECT_FALSE(sawDialog) << arguments << ": a window was shown";
    }
    return exitCode;
}

// The folder's product, installed with /target:, is all there and the
// entry, the App Paths key and the shortcuts point into the folder.
void ExpectInstalledIn(const std::string& folder)
{
    for (const char* file : kFiles)
        EXPECT_TRUE(FileExists(folder + "\\" + file)) << folder << "\\" << file;
    EXPECT_EQ(folder, MachineText(kEntry, "InstallLocation"));
    EXPECT_EQ("\"" + folder + "\\setup.exe\" /remove:ModemTest /quiet", MachineText(kEntry, "QuietUninstallString"));
    EXPECT_EQ(folder + "\\mdmprobe.exe", MachineText(kAppPath, nullptr));
    // A link stores its target's path as text.
    EXPECT_TRUE(Contains(ReadFileBytes(MenuDir() + "\\Vantor Modem Test.lnk"), folder + "\\mdmprobe.exe"));
    EXPECT_FALSE(FileExists(TargetDir())) << "the default folder was made too";
}

void RemoveQuietly(const std::string& folder)
{
    const std::string command = MachineText(kEntry, "QuietUninstallString");
    ASSERT_FALSE(command.empty());
    testsupport::ChildProcess removal;
    ASSERT_TRUE(removal.Start(command));
    DWORD exitCode = 0;
    ASSERT_TRUE(removal.Wait(kRunMs, &exitCode));
    EXPECT_EQ(kRemovalExit, exitCode);
    for (const char* file : kFiles) {
        const std::string path = folder + "\\" + file;
        EXPECT_TRUE(!FileExists(path) || DeletedAtRestart(path)) << path;
    }
    EXPECT_FALSE(MachineKeyExists(kEntry));
    EXPECT_FALSE(FileExists(MenuDir()));
}

// Both quoting forms of a folder with blanks; /startapp:0 leaves no program
// running and nothing registered to start later.
TEST(Deployment, TargetWithBlanksInBothQuotingFormsAndNoStartedProgram)
{
    const struct
    {
        const char* folder;
        const char* argument;
    } forms[] = {
        {"C:\\Apps\\Vantor Tools", "/target:\"C:\\Apps\\Vantor Tools\""},
        {"C:\\Apps\\Other Vantor Tools", "\"/target:C:\\Apps\\Other Vantor Tools\""},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.argument);
        EXPECT_EQ(0u, RunMedium(std::string("/quiet /startapp:0 ") + form.argument));
        ExpectInstalledIn(form.folder);
        EXPECT_FALSE(ProcessRuns("mdmprobe.exe")) << "/startapp:0 started the modem test";
        for (const std::string& name : ValueNames(kRunOnce))
            EXPECT_EQ(std::string::npos, MachineText(kRunOnce, name.c_str()).find("mdmprobe")) << name;
        RemoveQuietly(form.folder);
        ExpectNothingLeft();
    }
}

// An invalid value ends the run with 1639 before anything is touched: no
// folder, no entry, no shortcut; interactive runs say so in the failure box.
TEST(Deployment, InvalidSwitchValuesEndWith1639AndTouchNothing)
{
    const std::string longFolder = "C:\\" + std::string(260, 'v');
    for (const std::string& arguments :
         {std::string("/target:Apps\\Vantor"), std::string("/target:C:\\"), std::string("/target:D:"),
          "/target:\"" + longFolder + "\"", std::string("/target:\"C:\\Apps\\Vantor"),
          std::string("/newer:sometimes"), std::string("/startapp:yes")}) {
        SCOPED_TRACE(arguments);
        const std::string log = testsupport::RunDir() + "\\invalid.log";
        DeleteFileA(log.c_str());
        EXPECT_EQ(1639u, RunMedium("/quiet /debug:\"" + log + "\" " + arguments));
        EXPECT_TRUE(Contains(ReadFileBytes(log), "cannot be used")) << ReadFileBytes(log);
        EXPECT_FALSE(MachineKeyExists(kEntry));
        EXPECT_FALSE(FileExists(TargetDir()));
        EXPECT_FALSE(FileExists("C:\\Apps\\Vantor"));
        EXPECT_FALSE(FileExists(MenuDir()));
    }

    testsupport::ChildProcess setup;
    ASSERT_TRUE(setup.Start("\"" + Medium() + "\\setup.exe\" /target:relative", Medium()));
    HWND box = uidriver::WaitForDialog(setup.Id(), 20000);
    ASSERT_NE(nullptr, box) << "no failure box";
    EXPECT_TRUE(Contains(uidriver::DialogText(box), "/target:")) << uidriver::DialogText(box);
    uidriver::PressDialogButton(box, IDOK);
    DWORD exitCode = 0;
    ASSERT_TRUE(setup.Wait(kRunMs, &exitCode));
    EXPECT_EQ(1639u, exitCode);
    EXPECT_FALSE(MachineKeyExists(kEntry));
}

// A newer version in the uninstall entry: /newer:keep ends with 1638 and
// changes nothing, /newer:replace installs; neither asks. Without the
// switch the question is still asked, also in /quiet.
TEST(Deployment, NewerInstalledVersionAnsweredBySwitch)
{
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE, kEntry, "ProductVersion", "9.0.0.0"));
    const std::string log = testsupport::RunDir() + "\\newer.log";

    EXPECT_EQ(1638u, RunMedium("/quiet /newer:keep /log:\"" + log + "\""));
    EXPECT_EQ("9.0.0.0", MachineText(kEntry, "ProductVersion"));
    EXPECT_FALSE(FileExists(TargetDir()));
    const std::string kept = ReadFileBytes(log);
    EXPECT_TRUE(Contains(kept, "newer-version ModemTest  installed 9.0.0.0, this medium 1.1.0.0: kept")) << kept;
    EXPECT_TRUE(Contains(kept, "exit 1638 (")) << kept;

    testsupport::ChildProcess asked;
    ASSERT_TRUE(asked.Start("\"" + Medium() + "\\setup.exe\" /quiet", Medium()));
    HWND question = uidriver::WaitForDialog(asked.Id(), 20000);
    ASSERT_NE(nullptr, question) << "without /newer: the question must be asked";
    uidriver::PressDialogButton(question, uidriver::FindDialogButton(question, "no"));
    DWORD exitCode = 0;
    ASSERT_TRUE(asked.Wait(kRunMs, &exitCode));
    EXPECT_EQ(1602u, exitCode);

    EXPECT_EQ(0u, RunMedium("/quiet /startapp:0 /newer:replace /log:\"" + log + "\""));
    EXPECT_EQ("1.1.0.0", MachineText(kEntry, "ProductVersion"));
    for (const char* file : kFiles)
        EXPECT_TRUE(FileExists(TargetDir() + "\\" + file)) << file;
    EXPECT_TRUE(Contains(ReadFileBytes(log), "this medium 1.1.0.0: replaced")) << ReadFileBytes(log);
    RemoveQuietly(TargetDir());
}

// /? writes the usage to the standard output it was given and ends with 0;
// nothing is installed.
TEST(Deployment, UsageOnStandardOutput)
{
    const std::string out = testsupport::RunDir() + "\\usage.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + Medium() + "\\setup.exe\" /?";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, Medium().c_str(), &startup,
                               &process));
    CloseHandle(file);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, kRunMs));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(0u, exitCode);
    const std::string usage = ReadFileBytes(out);
    for (const char* part : {"/target:DIR", "/log:FILE", "/newer:ask|replace|keep", "/startapp:0", "1638", "1639"})
        EXPECT_TRUE(Contains(usage, part)) << part << " missing in:\n" << usage;
    EXPECT_FALSE(MachineKeyExists(kEntry));
    EXPECT_FALSE(FileExists(TargetDir()));
}

// A switch of another installer is ignored, so the run is interactive: the
// debug log and the installation log say why.
TEST(Deployment, IgnoredSwitchIsNamed)
{
    const std::string log = testsupport::RunDir() + "\\ignored.log";
    const std::string debug = testsupport::RunDir() + "\\ignored-debug.log";
    testsupport::ChildProcess setup;
    ASSERT_TRUE(setup.Start("\"" + Medium() + "\\setup.exe\" /S /log:\"" + log + "\" /debug:1,\"" + debug + "\"",
                            Medium()));
    HWND wizard = uidriver::WaitForWizard(setup.Id(), 20000);
    ASSERT_NE(nullptr, wizard) << "/S alone is an interactive run";
    EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs));
    DWORD exitCode = 0;
    ASSERT_TRUE(setup.Wait(kRunMs, &exitCode));
    EXPECT_EQ(1602u, exitCode);
    EXPECT_TRUE(Contains(ReadFileBytes(log), "switch ignored: /S\r\n")) << ReadFileBytes(log);
    EXPECT_TRUE(Contains(ReadFileBytes(log), "exit 1602 (cancelled)")) << ReadFileBytes(log);
    EXPECT_TRUE(Contains(ReadFileBytes(debug), "switch ignored: /S")) << ReadFileBytes(debug);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_deployment_e2e_test MEDIUM-FOLDER\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
