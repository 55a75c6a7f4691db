// The installation and removal run of the real setup.exe, unattended, on
// scripts written here, seen from outside: exit codes read inside Wine, the
// run's messages to the wizard page (from the debug log), and the files,
// registry values, INI entries, shortcuts, uninstall entries and pending
// restart operations the runs leave.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // the test's registry helpers come with Vista (Wine has them)

#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string g_setup;  // Windows path of setup.exe, from the command line

// Main copies the program (so that it is registered), a loose file, a
// cabinet to its own name and a file from a cabinet into a sub-directory,
// and writes a registry value, an INI entry and a shortcut; its removal
// takes all of it back.
const char kMainScript[] = R"([Version]
Signature = "$Chicago$"
[SourceDisksNames]
1 = "Disk",,,
2 = "Cabinet",payload.cab,,
[SourceDisksFiles]
setup.exe = 1
setup.inf = 1
loose.txt = 1
data.cab = 1
incab.txt = 2
[DestinationDirs]
DefaultDestDir = 24,VtTarget
Main.Files = 32768
Data.Files = 32768,Data
Main.Created = 32768
[Products]
Main = "Vantor Main", Main.Install, Main.Remove, 3, 0, "Main product", 1.0
Restart = "Vantor Restart", Empty, Empty, 5
BadService = "Vantor Bad Service", BadService.Install, Empty, 1
SlowStop = "Vantor Slow Stop", SlowStop.Install, Empty, 1
[Main.Install]
CopyFiles = Main.Files, Data.Files
AddReg = Main.Reg
UpdateInis = Main.Ini
MakeIcons = Main.Icons
[Main.Remove]
DelFiles = Data.Files, Main.Created, Main.Files
DelReg = Main.Reg
DelIcons = Main.Icons
[Main.Files]
setup.exe
setup.inf
data.cab
loose.txt
[Data.Files]
incab.txt
[Main.Created]
main.ini
[Main.Reg]
HKLM, Software\VantorTest, Main,, "installed"
[Main.Ini]
%32768%\main.ini, Settings,, "Port=COM3"
[Main.Icons]
UPRG, "Vantor Test\Main", %32768%\loose.txt
[BadService.Install.Services]
AddService = VtBadService,, NoSuchSection
[SlowStop.Install.Services]
StopService = VtSlowService
[Install]
[Remove]
[Empty]
[BadService.Install]
[SlowStop.Install]
)";

const char kTarget[] = "C:\\Program Files\\VtTarget";  // proposed by DefaultDestDir
const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Main";
const char kFullRun[] = "status 2 0\nstatus 3 0\nstatus 4 0\nstatus 5 0\nstatus 6 0\nstatus -1 0\ndone 1 0\n";

// Every section leaves its name as a value below HKLM\Software\VtRun. B
// asks for a restart; the preselected products' keys fill over 1024 bytes.
std::string ProductsScript(std::vector<std::string>* preselected)
{
    std::string products = "[Products]\nA = A, A.Install, A.Remove, 1\nB = B, B.Install, B.Remove, 5\n";
    std::string sections;
    std::vector<std::string> names = {"Install", "Remove", "A.Install", "A.Remove", "B.Install", "B.Remove"};
    for (int i = 0; i < 40; ++i) {
        const std::string key = "Preselected.Product.With.A.Long.Key." + std::to_string(i);
        products += key + " = Many, " + key + ".Install,, 3\n";
        names.push_back(key + ".Install");
        preselected->push_back(names.back());
    }
    for (const std::string& name : names)
        sections += "[" + name + "]\nAddReg = " + name + ".Mark\n[" + name + ".Mark]\nHKLM, Software\\VtRun, " +
                    name + ",, 1\n";
    return "[Version]\nSignature = \"$Chicago$\"\n[SourceDisksNames]\n1 = Disk,,,\n[SourceDisksFiles]\nsetup.exe = 1\n"
           "[DestinationDirs]\nDefaultDestDir = 24,VtTarget\nSetup.Files = 32768\n[Install]\nCopyFiles = Setup.Files\n"
           "[Setup.Files]\nsetup.exe\n" +
           products + sections;
}

// DefaultDestDir two folders deep below the program-files folder; loose
// files only (a cabinet copied to its own name fails on its own).
const char kNestScript[] = R"([Version]
Signature = "$Chicago$"
[SourceDisksNames]
1 = "Disk",,,
[SourceDisksFiles]
setup.exe = 1
loose.txt = 1
[DestinationDirs]
DefaultDestDir = 24,Vantor Nest\Tools
Nest.Files = 32768
[Products]
Nest = "Vantor Nest", Nest.Install, Nest.Remove, 3
[Nest.Install]
CopyFiles = Nest.Files
AddReg = Nest.Reg
[Nest.Remove]
DelFiles = Nest.Files
DelReg = Nest.Reg
[Nest.Files]
setup.exe
loose.txt
[Nest.Reg]
HKLM, Software\VantorNest, Installed,, "yes"
[Install]
[Remove]
)";

// A window of this test on a thread of its own that notes when Windows asks
// to end the session (a restart was started), and refuses, so that the
// test goes on.
class SessionWatch
{
public:
    SessionWatch()
    {
        thread_ = std::thread([this] {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = Proc;
            windowClass.lpszClassName = "VtSessionWatch";
            RegisterClassA(&windowClass);
            HWND window = CreateWindowA("VtSessionWatch", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
            window_ = window;
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0)
                DispatchMessageA(&message);
        });
        while (window_ == nullptr)
            Sleep(10);
    }
    ~SessionWatch()
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    bool SessionEndAsked() const { return asked_.load(); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_QUERYENDSESSION) {
            asked_.store(true);
            return FALSE;
        }
        if (message == WM_CLOSE) {
            DestroyWindow(window);
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static std::atomic<bool> asked_;
    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};
std::atomic<bool> SessionWatch::asked_{false};

std::string Value(const std::string& key, const char* name)
{
    char data[65536];
    DWORD size = sizeof(data);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY, nullptr, data, &size) != ERROR_SUCCESS)
        return "-";
    return std::string(data, size);
}

// How often `part` occurs in `text`.
size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string ShortcutPath()
{
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
    return std::string(programs) + "\\Vantor Test\\Main.lnk";
}

std::string Target(const char* name)
{
    return std::string(kTarget) + "\\" + name;
}

// Sets where the program-files folder is, and so the default target
// (DefaultDestDir = 24,...).
void SetProgramFiles(const char* path)
{
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                             "ProgramFilesDir", path));
}

// A source folder with the program as setup.exe, the script and the payload.
struct SetupSource
{
    testsupport::ProgramCopy program;
    DWORD ms = 0;

    SetupSource(const char* folder, const std::string& script)
        : program(g_setup, folder, "setup.exe")
    {
        Write("setup.inf", script);
        Write("loose.txt", "loose file\r\n");
        for (const char* cabinet : {"payload.cab", "data.cab"})
            CopyFileA((testsupport::ModuleDir() + "\\payload.cab").c_str(), program.Path(cabinet).c_str(), FALSE);
    }
    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(program.Path(name.c_str()), std::ios::binary) << text;
    }
    // Runs setup.exe with `arguments` and a debug log; its exit code.
    DWORD Run(const std::string& arguments)
    {
        testsupport::ChildProcess child;
        const DWORD start = testsupport::PreciseMs();
        DWORD exitCode = 0xdead;
        const std::string line = arguments + " /debug:2,\"" + program.Path("setup.log") + "\"";
        bool started = program.Start(child, line);
        if (!started) {
            // Seen once in about ten loaded suite runs: Wine refused to
            // create the process right after the previous run had ended.
            // What the run does is under test, not Wine's process start.
            printf("setup.exe %s did not start (error %lu); starting it once more\n", arguments.c_str(),
                   static_cast<unsigned long>(GetLastError()));
            Sleep(200);
            started = program.Start(child, line);
        }
        if (!started || !child.Wait(60000, &exitCode))
            child.Kill();
        ms = testsupport::PreciseMsSince(start);
        return exitCode;
    }
    // The run's messages as the wizard page logged them: "status N 0" per
    // phase, "done SUCCESS ERROR" last.
    std::string Pages() const
    {
        std::string pages;
        const std::string log = Log();
        for (size_t at = log.find("wizard: "); at != std::string::npos; at = log.find("wizard: ", at)) {
            at += 8;
            const size_t end = log.find_first_of("\r\n", at);  // the log ends lines with CR LF
            pages += log.substr(at, end - at) + "\n";
        }
        return pages;
    }
    std::string Log() const { return testsupport::ReadFileBytes(program.Path("setup.log")); }
    // The /log: switch of an installation log beside the program, and the log.
    std::string RunLogSwitch() const { return "\"/log:" + program.Path("run.log") + "\""; }
    std::string RunLogText() const { return testsupport::ReadFileBytes(program.Path("run.log")); }
};

TEST(InstallRun, InstallThenRemove)
{
    SetupSource source("main", kMainScript);
    ASSERT_EQ(0u, source.Run("/quiet:main")) << source.Log();
    EXPECT_EQ(kFullRun, source.Pages());
    EXPECT_EQ("loose file\r\n", testsupport::ReadFileBytes(Target("loose.txt")));
    EXPECT_EQ(testsupport::ReadFileBytes(source.program.Path("data.cab")), testsupport::ReadFileBytes(Target("data.cab")))
        << "a cabinet copied to its own name is placed as it is";
    EXPECT_EQ("in the cabinet\r\n", testsupport::ReadFileBytes(Target("Data\\incab.txt")));
    EXPECT_EQ(std::string("installed") + '\0', Value("Software\\VantorTest", "Main"));
    char port[16] = "";
    GetPrivateProfileStringA("Settings", "Port", "-", port, sizeof(port), Target("main.ini").c_str());
    EXPECT_STREQ("COM3", port);
    EXPECT_TRUE(testsupport::FileExists(ShortcutPath()));
    EXPECT_EQ("\"" + Target("setup.exe") + "\" /remove:Main" + '\0', Value(kUninstall, "UninstallString"));

    ASSERT_EQ(0u, source.Run("/remove:Main /quiet")) << source.Log();
    EXPECT_EQ(kFullRun, source.Pages());
    EXPECT_FALSE(testsupport::FileExists(kTarget)) << "every file and both directories are gone";
    EXPECT_EQ("-", Value("Software\\VantorTest", "Main"));
    EXPECT_FALSE(testsupport::FileExists(ShortcutPath()));
    EXPECT_EQ("-", Value(kUninstall, "UninstallString"));
    EXPECT_TRUE(testsupport::PendingOperations().empty());
}

// A file the removal does not own keeps its folder, and so the folders
// above it; everything the product put there is gone.
TEST(InstallRun, RemovalKeepsFoldersWithForeignFiles)
{
    SetupSource source("foreign", kMainScript);
    ASSERT_EQ(0u, source.Run("/quiet:Main")) << source.Log();
    std::ofstream(Target("Data\\mine.txt"), std::ios::binary) << "the user's own";
    ASSERT_EQ(0u, source.Run("/remove:Main /quiet")) << source.Log();
    EXPECT_EQ("the user's own", testsupport::ReadFileBytes(Target("Data\\mine.txt")));
    EXPECT_FALSE(testsupport::FileExists(Target("Data\\incab.txt")));
    for (const char* name : {"setup.exe", "setup.inf", "data.cab", "loose.txt", "main.ini"})
        EXPECT_FALSE(testsupport::FileExists(Target(name))) << name;
    EXPECT_TRUE(testsupport::PendingOperations().empty()) << "nothing was in use";
    DeleteFileA(Target("Data\\mine.txt").c_str());
    RemoveDirectoryA(Target("Data").c_str());
    RemoveDirectoryA(kTarget);
}

// Files held open: their deletion waits for the restart, and so does their
// directory once nothing else is left in it, while an emptied directory
// goes at once; a copy onto one (here from the cabinet) is staged for the
// restart. Either run asks for the restart. One holder lets others delete
// (Wine then reports the deletion done and keeps the file until it is
// closed), the other does not (a sharing violation).
TEST(InstallRun, FilesInUseWaitForTheRestart)
{
    SetupSource source("in_use", kMainScript);
    ASSERT_EQ(0u, source.Run("/quiet:Main")) << source.Log();
    HANDLE held = CreateFileA(Target("loose.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    HANDLE sharing = CreateFileA(Target("setup.inf").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(3010u, source.Run("/remove:Main /quiet")) << source.Log();
    CloseHandle(held);
    CloseHandle(sharing);
    EXPECT_EQ(kFullRun, source.Pages());
    const std::vector<testsupport::PendingOperation> pending = testsupport::PendingOperations();
    EXPECT_NE(std::string::npos, testsupport::PendingDeletion(pending, Target("loose.txt")));
    EXPECT_NE(std::string::npos, testsupport::PendingDeletion(pending, Target("setup.inf")));
    EXPECT_NE(std::string::npos, testsupport::PendingDeletion(pending, kTarget));
    EXPECT_FALSE(testsupport::FileExists(Target("Data")));
    EXPECT_FALSE(testsupport::FileExists(Target("data.cab")));

    CreateDirectoryA(Target("Data").c_str(), nullptr);
    held = CreateFileA(Target("Data\\incab.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0,
                       nullptr);
    EXPECT_EQ(3010u, source.Run("/quiet:Main")) << source.Log();
    CloseHandle(held);
    EXPECT_NE(std::string::npos,
              testsupport::PendingRenameOnto(testsupport::PendingOperations(), Target("Data\\incab.txt")));
}

// The product list chooses the sections: the markers each run leaves.
TEST(InstallRun, ProductListsChooseTheSections)
{
    std::vector<std::string> preselected = {"Install"};
    SetupSource source("products", ProductsScript(&preselected));
    const struct { const char* arguments; DWORD exitCode; std::vector<std::string> markers; } steps[] = {
        {"/quiet:zz", 0, {"Install"}},
        {"/quiet:a,B", 3010, {"Install", "A.Install", "B.Install"}},  // B has the restart flag
        {"/remove:A /quiet", 0, {"A.Remove"}},  // B stays registered
        {"/remove:B /quiet", 3010, {"B.Remove", "Remove"}},
        {"/quiet", 0, preselected},
    };
    for (const auto& step : steps) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VtRun");
        DeleteFileA(source.program.Path("run.log").c_str());
        EXPECT_EQ(step.exitCode, source.Run(step.arguments + (" " + source.RunLogSwitch())))
            << step.arguments << source.Log();
        // The installation log names the product that asks for the restart, and only it.
        const std::string runLog = source.RunLogText();
        EXPECT_EQ(step.exitCode == 3010 ? 1u : 0u, Count(runLog, " restart-needed ")) << runLog;
        if (step.exitCode == 3010) {
            EXPECT_NE(std::string::npos, runLog.find(" restart-needed B  the product's restart flag (4)\r\n"))
                << runLog;
        }
        HKEY key = nullptr;
        DWORD count = 0;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VtRun", 0, KEY_READ, &key);
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
        EXPECT_EQ(step.markers.size(), count) << step.arguments;
        for (const std::string& marker : step.markers)
            EXPECT_NE("-", Value("Software\\VtRun", marker.c_str())) << step.arguments << ": " << marker;
    }
}

// A missing source file ends the run at once, as the first file of its
// medium (the cabinet is missing) and as a later one (an interactive run
// whose request for the medium brings nothing: SetupWizard tests). The
// uninstall entry written before is taken back; no phase after the copy runs, not
// even the restart check of the flags-5 product (with /reboot:2 it would
// restart Windows).
TEST(InstallRun, MissingSourceFailsTheRun)
{
    for (const char* missing : {"payload.cab", "loose.txt"}) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstall);
        SetupSource source(missing, kMainScript);
        DeleteFileA(source.program.Path(missing).c_str());
        EXPECT_EQ(1603u, source.Run("/quiet:Main,Restart /reboot:2")) << missing;
        EXPECT_LT(source.ms, 15000u);
        EXPECT_EQ("status 2 0\nstatus 3 0\ndone 0 2\n", source.Pages());
        EXPECT_NE(std::string::npos, source.Log().find(std::string(missing) + " cannot be found")) << source.Log();
        EXPECT_EQ("-", Value("Software\\VantorTest", "Main"));
        EXPECT_FALSE(testsupport::FileExists(ShortcutPath()));
        EXPECT_EQ("-", Value(kUninstall, "UninstallString")) << "the rollback takes the entry back";
    }
}

// A service that cannot be created fails the run after the registry phase,
// with its error; the shortcuts that come later are not made, and the
// registry value written before is taken back.
TEST(InstallRun, ServiceNotCreatedFailsAfterTheRegistry)
{
    SetupSource source("bad_service", kMainScript);
    EXPECT_EQ(1603u, source.Run("/quiet:Main,BadService"));
    EXPECT_EQ("status 2 0\nstatus 3 0\nstatus 4 0\ndone 0 3758096641\n", source.Pages())
        << "ERROR_SECTION_NOT_FOUND of the service's install section";
    EXPECT_EQ("-", Value("Software\\VantorTest", "Main"));
    EXPECT_FALSE(testsupport::FileExists(ShortcutPath()));
}

// A running service that does not stop within the wait only asks for a
// restart.
TEST(InstallRun, SlowServiceOnlyAsksForARestart)
{
    CreateDirectoryA("C:\\svc", nullptr);
    ASSERT_TRUE(CopyFileA((testsupport::ModuleDir() + "\\test_service.exe").c_str(), "C:\\svc\\test_service.exe", 0));
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = CreateServiceA(manager, "VtSlowService", "Vantor slow", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                       "C:\\svc\\test_service.exe slow", nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(StartServiceA(service, 0, nullptr));
    CloseServiceHandle(service);
    CloseServiceHandle(manager);

    SetupSource source("slow_service", kMainScript);
    EXPECT_EQ(3010u, source.Run("/quiet:SlowStop " + source.RunLogSwitch())) << source.Log();
    EXPECT_EQ(kFullRun, source.Pages());
    const std::string runLog = source.RunLogText();
    EXPECT_NE(std::string::npos, runLog.find(" stop-service VtSlowService  did not stop within 5 s\r\n")) << runLog;
    EXPECT_NE(std::string::npos, runLog.find(" restart-needed VtSlowService  the service did not stop\r\n"))
        << runLog;
}

// A run that asks for a restart (a copy onto a file in use) and then fails
// (a service that cannot be created) exits 1603, also when /reboot:2 has
// started the restart: a failure never reads as a success.
TEST(InstallRun, FailedRunExits1603AlsoWhenItRestarts)
{
    SetupSource source("restart_failed", kMainScript);
    ASSERT_EQ(0u, source.Run("/quiet:Main")) << source.Log();
    HANDLE held = CreateFileA(Target("loose.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    SessionWatch watch;
    EXPECT_EQ(1603u, source.Run("/quiet:Main,BadService /reboot:2")) << source.Log();
    CloseHandle(held);
    EXPECT_EQ("status 2 0\nstatus 3 0\nstatus 4 0\ndone 0 3758096641\n", source.Pages());
    EXPECT_NE(std::string::npos, testsupport::PendingRenameOnto(testsupport::PendingOperations(), Target("loose.txt")))
        << "the new copy waits for the restart";
    // Wine's restart asks the windows of every program in a process of its
    // own, after setup has ended.
    for (int wait = 0; wait < 100 && !watch.SessionEndAsked(); ++wait)
        Sleep(100);
    EXPECT_TRUE(watch.SessionEndAsked()) << "the restart was started";
}

// A script whose fields name things by paths longer than their 256-byte
// buffers (`dir` and 300 characters), except the Exec programs: 255 and 254
// characters plus one, so that cut they name `program` and `atProgram`, and
// the working folder of `inFolder`: 259 characters plus one, more than its
// 260-byte buffer holds.
std::string LongFieldsScript(const std::string& dir, const std::string& program, const std::string& atProgram,
                             const std::string& inFolder)
{
    const std::string longFolder = dir + "\\" + std::string(259 - dir.size() - 1, 'w') + "x";
    const std::string tooLong = dir + "\\" + std::string(300, 'x');
    return "[Version]\nSignature = \"$Chicago$\"\n[SourceDisksNames]\n1 = Disk,,,\n[SourceDisksFiles]\n"
           "setup.exe = 1\n[DestinationDirs]\nDefaultDestDir = 24,VtTarget\nSetup.Files = 32768\n"
           "[Install]\nCopyFiles = Setup.Files\n[Remove]\n[Empty]\n[Setup.Files]\nsetup.exe\n"
           "[Products]\nLong = \"Vantor Long\", Long.Install, Empty, 1\n"
           "LongService = \"Vantor Long Service\", Service.Install, Empty, 1\n"
           "[Long.Install]\nExec = Long.Exec, \"@" + atProgram + "x\"\nFileSecurity = Long.Security\n"
           "MakeIcons = Long.Icons\n"
           "[Long.Exec]\n1, \"" + program + "x\",,, 2\n1, \"" + inFolder + "\",, \"" + longFolder + "\"\n"
           "[Long.Security]\n\"" + tooLong + "\", \"D:(A;;GA;;;WD)\"\n"
           "[Long.Icons]\nUPRG, \"Vantor Test\\" + std::string(300, 'n') + "\", C:\\x.txt\n"
           "UPRG, \"Vantor Test\\Long target\", \"" + tooLong + "\"\n"
           "[Service.Install]\n[Service.Install.Services]\nAddService = VtLongService,, Long.Service\n"
           "[Long.Service]\nServiceType = 16\nStartType = 3\nServiceBinary = \"" + tooLong + ".exe\"\n";
}

// Fields that name a program, a folder, a file or a shortcut are never cut:
// an Exec program, its working folder or "@program" field, a file-security
// path and a shortcut's name or target that are too long leave their line
// undone, with an error line naming section and line. Cut, the Exec fields
// would name existing programs here (run, and deleted with run flag 2), the
// working folder another folder, the shortcut a target.
TEST(InstallRun, OverlongFieldsAreRefusedNotCut)
{
    const std::string dir = "C:\\vtlong";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string program = dir + "\\planted" + std::string(255 - dir.size() - 12, 'p') + ".exe";
    const std::string atProgram = dir + "\\planted" + std::string(254 - dir.size() - 12, 'a') + ".exe";
    const std::string inFolder = dir + "\\planted-in-folder.exe";
    ASSERT_EQ(255u, program.size());
    for (const std::string& copy : {program, atProgram, inFolder})
        ASSERT_TRUE(CopyFileA((testsupport::ModuleDir() + "\\install_run_test.exe").c_str(), copy.c_str(), FALSE));
    SetupSource source("long", LongFieldsScript(dir, program, atProgram, inFolder));
    EXPECT_EQ(0u, source.Run("/quiet:Long")) << source.Log();
    EXPECT_EQ(kFullRun, source.Pages());
    EXPECT_TRUE(testsupport::FileExists(program)) << "not deleted";
    EXPECT_FALSE(testsupport::FileExists(program + ".ran")) << "not run";
    EXPECT_FALSE(testsupport::FileExists(atProgram + ".ran")) << "not run";
    EXPECT_FALSE(testsupport::FileExists(inFolder + ".ran")) << "not run";
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
    EXPECT_FALSE(testsupport::FileExists(std::string(programs) + "\\Vantor Test\\Long target.lnk"));
    const std::string log = source.Log();
    for (const char* line : {"[Long.Install] line 1: field 2 is longer than 255 characters; it is not run",
                             "[Long.Exec] line 1: field 2 is longer than 255 characters; the program is not run",
                             "[Long.Exec] line 2: field 4 is longer than 259 characters; the program is not run",
                             "[Long.Security] line 1: field 1 is longer than 255 characters; the file security is "
                             "not applied",
                             "[Long.Icons] line 1: field 2 is longer than 255 characters; the shortcut is not made",
                             "[Long.Icons] line 2: field 3 is longer than 255 characters; the shortcut is not made"})
        EXPECT_NE(std::string::npos, log.find(line)) << line << "\n" << log;

    // A service program path too long fails the service like one that
    // cannot be created: the run fails after the registry phase.
    EXPECT_EQ(1603u, source.Run("/quiet:LongService")) << source.Log();
    EXPECT_EQ("status 2 0\nstatus 3 0\nstatus 4 0\ndone 0 206\n", source.Pages());
    EXPECT_NE(std::string::npos,
              source.Log().find("[Long.Service] line 3: field 1 is longer than 255 characters; the service is not "
                                "created"))
        << source.Log();
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, "VtLongService", SERVICE_QUERY_STATUS);
    EXPECT_EQ(nullptr, service) << "not created";
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

// "/remove:" removes only the products of this script: another product's
// key, or a key that reaches below an entry with a backslash, is refused
// with the failure box (answered unattended, in the debug log) and 1603,
// and no registry key is touched. A key of the script in any case removes.
TEST(InstallRun, RemovalRefusesKeysTheScriptDoesNotList)
{
    SetupSource source("foreign", kMainScript);
    ASSERT_EQ(0u, source.Run("/quiet:Main")) << source.Log();
    const std::string other = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OtherProduct";
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE, other, "DisplayName", "Another maker's product"));
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE, std::string(kUninstall) + "\\Sub", "Value", "kept"));
    for (const char* key : {"OtherProduct", "Main\\Sub", "Restart\\..\\OtherProduct"}) {
        EXPECT_EQ(1603u, source.Run(std::string("/remove:") + key + " /quiet")) << key;
        EXPECT_EQ("", source.Pages()) << key << ": no run";
        EXPECT_NE(std::string::npos, source.Log().find(std::string("The product ") + key +
                                                        " is not part of this installation."))
            << source.Log();
    }
    EXPECT_EQ(std::string("Another maker's product") + '\0', Value(other, "DisplayName"));
    EXPECT_EQ(std::string("kept") + '\0', Value(std::string(kUninstall) + "\\Sub", "Value"));
    EXPECT_TRUE(testsupport::FileExists(Target("loose.txt")));

    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstall) + "\\Sub").c_str());
    EXPECT_EQ(0u, source.Run("/remove:MAIN /quiet")) << source.Log();
    EXPECT_EQ("-", Value(kUninstall, "UninstallString"));
    EXPECT_FALSE(testsupport::FileExists(Target("loose.txt")));
}

// A removal takes the emptied folders of the target's sub-directory path
// (DefaultDestDir = 24,Vantor Nest\Tools): Tools, then Vantor Nest, never
// the program-files folder, never a folder that still holds something; a
// folder whose last file waits for the restart goes at the restart, and
// the folder above it after it.
TEST(InstallRun, RemovalLeavesNoEmptyFolderOfItsPath)
{
    SetupSource source("nest", kNestScript);
    const std::string nest = "C:\\Program Files\\Vantor Nest";
    const std::string tools = nest + "\\Tools";
    ASSERT_EQ(0u, source.Run("/quiet")) << source.Log();
    ASSERT_TRUE(testsupport::FileExists(tools + "\\loose.txt"));
    EXPECT_EQ(0u, source.Run("/remove:Nest /quiet")) << source.Log();
    EXPECT_FALSE(testsupport::FileExists(nest));
    EXPECT_TRUE(testsupport::FileExists("C:\\Program Files"));

    ASSERT_EQ(0u, source.Run("/quiet")) << source.Log();
    std::ofstream(nest + "\\notes.txt") << "the user's";
    EXPECT_EQ(0u, source.Run("/remove:Nest /quiet")) << source.Log();
    EXPECT_FALSE(testsupport::FileExists(tools));
    EXPECT_TRUE(testsupport::FileExists(nest + "\\notes.txt")) << "a folder that holds something stays";

    DeleteFileA((nest + "\\notes.txt").c_str());
    ASSERT_EQ(0u, source.Run("/quiet")) << source.Log();
    HANDLE held = CreateFileA((tools + "\\loose.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(3010u, source.Run("/remove:Nest /quiet")) << source.Log();
    CloseHandle(held);
    const std::vector<testsupport::PendingOperation> pending = testsupport::PendingOperations();
    const size_t file = testsupport::PendingDeletion(pending, tools + "\\loose.txt");
    const size_t toolsAt = testsupport::PendingDeletion(pending, tools);
    const size_t nestAt = testsupport::PendingDeletion(pending, nest);
    ASSERT_NE(std::string::npos, file);
    ASSERT_NE(std::string::npos, nestAt) << "Vantor Nest waits for the restart too";
    EXPECT_LT(file, toolsAt);
    EXPECT_LT(toolsAt, nestAt) << "emptied before it is deleted";
}

// Unattended runs never wait on a Setup API dialog: a target disk that
// fills up during the copy (drive D: of the sandbox, 96 KB) fails the run
// within seconds, with the error in the debug log and 1603; nothing after
// the copy runs. On a drive the run may not write (R:, read-only) it fails
// as soon as it makes the target folder, before anything else.
void CopyErrorFailsTheRun(const char* programFiles, const char* folder, DWORD error, bool atTargetFolder)
{
    const std::string drive(programFiles, 3);
    const std::string noSandbox = testsupport::NoSandboxReason("drive " + drive.substr(0, 2));
    if (!noSandbox.empty())
        GTEST_SKIP() << noSandbox;
    ASSERT_NE(DRIVE_NO_ROOT_DIR, GetDriveTypeA(drive.c_str())) << "the sandbox's drive " << drive;
    SetProgramFiles(programFiles);
    SetupSource source(folder, kNestScript);
    EXPECT_EQ(1603u, source.Run("/quiet")) << source.Log();
    EXPECT_LT(source.ms, 15000u);
    EXPECT_EQ(std::string(atTargetFolder ? "" : "status 2 0\nstatus 3 0\n") + "done 0 " + std::to_string(error) + "\n",
              source.Pages());
    const std::string log = source.Log();
    const std::string target = std::string(programFiles) + "\\Vantor Nest\\Tools";
    if (atTargetFolder) {
        EXPECT_NE(std::string::npos, log.find("setup run: the target folder " + target + " cannot be created")) << log;
    } else {
        EXPECT_NE(std::string::npos, log.find("cannot copy ")) << log;
        EXPECT_NE(std::string::npos, log.find(" to " + target + "\\setup.exe")) << log;
    }
    EXPECT_NE(std::string::npos, log.find("Error number " + std::to_string(error) + ":")) << log;
    EXPECT_FALSE(testsupport::FileExists(target + "\\loose.txt")) << "the run stopped at the failure";
    EXPECT_EQ("-", Value("Software\\VantorNest", "Installed"));
}

TEST(InstallRun, DiskFullFailsTheRun)
{
    CopyErrorFailsTheRun("D:\\Program Files", "disk_full", ERROR_DISK_FULL, false);
}

TEST(InstallRun, AccessDeniedFailsTheRun)
{
    CopyErrorFailsTheRun("R:\\Program Files", "access_denied", ERROR_ACCESS_DENIED, true);
}

// A rename the file queue cannot carry out (its new name is taken) fails
// an unattended run as a copy error does: the error in the debug log, 1603,
// and nothing after the file queue runs. (Interactive runs ask through the
// Setup API's own dialog, which Wine does not show: its default callback
// skips, and the run fails the same way.)
TEST(InstallRun, RenameErrorFailsTheRun)
{
    std::string script = kMainScript;
    script.replace(script.find("[Products]\n"), 11,
                   "[Products]\nRename = \"Vantor Rename\", Rename.Install, Empty, 1\n");
    script.replace(script.find("Main.Created = 32768\n"), 21, "Main.Created = 32768\nRename.Files = 32768\n");
    script += "[Rename.Install]\nRenFiles = Rename.Files\nAddReg = Rename.Reg\n[Rename.Files]\ntaken.txt, loose.txt\n"
              "[Rename.Reg]\nHKLM, Software\\VantorTest, Renamed,, \"yes\"\n";
    SetupSource source("rename_error", script);
    ASSERT_EQ(0u, source.Run("/quiet:Main")) << source.Log();
    std::ofstream(Target("taken.txt")) << "taken";
    EXPECT_EQ(1603u, source.Run("/quiet:Rename")) << source.Log();
    const std::string log = source.Log();
    EXPECT_NE(std::string::npos, log.find("cannot rename " + Target("loose.txt") + " to " + Target("taken.txt")))
        << log;
    EXPECT_NE(std::string::npos, source.Pages().find("\ndone 0 ")) << source.Pages();
    EXPECT_EQ(std::string::npos, source.Pages().find("\ndone 0 0\n")) << "the page got the error";
    EXPECT_TRUE(testsupport::FileExists(Target("loose.txt")));
    EXPECT_EQ("-", Value("Software\\VantorTest", "Renamed")) << "nothing after the file queue";
}

// A removal whose file cannot be deleted for good (not held by a program,
// which lets go of it by the restart: FilesInUseWaitForTheRestart, and the
// running setup.exe of the ShippedMedium tests) fails an unattended run as
// a copy error does: 1603 with the error in the debug log and on the page,
// the file where it was, nothing after the file queue and nothing left for
// the restart.
void ExpectDeletionRefused(SetupSource& source, const char* arguments, const std::string& file)
{
    EXPECT_EQ(1603u, source.Run(arguments)) << source.Log();
    EXPECT_EQ("status 2 0\nstatus 3 0\ndone 0 5\n", source.Pages());
    const std::string log = source.Log();
    EXPECT_NE(std::string::npos, log.find("cannot delete " + file + "\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("Error number 5:")) << log;
    EXPECT_TRUE(testsupport::FileExists(file));
    EXPECT_TRUE(testsupport::PendingOperations().empty());
}

// A folder has taken the name of one of the product's files (Windows will
// not delete a folder as a file: access denied). The read-only file before
// it still goes, its attribute cleared.
TEST(InstallRun, FolderInPlaceOfAFileFailsTheRemoval)
{
    SetupSource source("folder_in_place", kMainScript);
    ASSERT_EQ(0u, source.Run("/quiet:Main")) << source.Log();
    ASSERT_TRUE(SetFileAttributesA(Target("Data\\incab.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(DeleteFileA(Target("main.ini").c_str()));
    ASSERT_TRUE(CreateDirectoryA(Target("main.ini").c_str(), nullptr));
    ExpectDeletionRefused(source, "/remove:Main /quiet", Target("main.ini"));
    EXPECT_FALSE(testsupport::FileExists(Target("Data\\incab.txt")));
    EXPECT_TRUE(testsupport::FileExists(Target("loose.txt"))) << "the run stopped at the failure";
    EXPECT_EQ(std::string("installed") + '\0', Value("Software\\VantorTest", "Main"));
}

// The product's disk has become read-only: installed onto W:, whose disk
// S: shows read-only (drives of the sandbox, as after a remount), and
// removed from there (the recorded folder moved to S:). Wine reports the
// deletion of such a file done and keeps it: here the queue's last one
// (the file before it is missing, which counts as deleted), so the failure
// comes after the queue has ended. A read-only file there cannot even lose
// its attribute, and its deletion fails with access denied.
TEST(InstallRun, ReadOnlyDiskFailsTheRemoval)
{
    const std::string noSandbox = testsupport::NoSandboxReason("drive S:");
    if (!noSandbox.empty())
        GTEST_SKIP() << noSandbox;
    ASSERT_NE(DRIVE_NO_ROOT_DIR, GetDriveTypeA("S:\\")) << "the sandbox's drive S:";
    SetProgramFiles("W:\\Program Files");
    SetupSource source("read_only_disk", kNestScript);
    const std::string tools = "\\Program Files\\Vantor Nest\\Tools";
    const auto moveToS = [&] {
        return testsupport::SetRegistryText(HKEY_LOCAL_MACHINE,
                                            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nest",
                                            "UserTargetDir", "S:" + tools);
    };
    ASSERT_EQ(0u, source.Run("/quiet")) << source.Log();
    ASSERT_TRUE(DeleteFileA(("W:" + tools + "\\setup.exe").c_str()));
    ASSERT_TRUE(moveToS());
    ExpectDeletionRefused(source, "/remove:Nest /quiet", "S:" + tools + "\\loose.txt");

    ASSERT_EQ(0u, source.Run("/quiet")) << source.Log();
    ASSERT_TRUE(SetFileAttributesA(("W:" + tools + "\\setup.exe").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(moveToS());
    ExpectDeletionRefused(source, "/remove:Nest /quiet", "S:" + tools + "\\setup.exe");
    EXPECT_TRUE(testsupport::FileExists("S:" + tools + "\\loose.txt")) << "the run stopped at the failure";
}

// The figure of the closing note: 1 000 files of 4 KB installed unattended.
TEST(InstallRun, ThousandFiles)
{
    std::string files;
    std::string disks;
    for (int i = 0; i < 1000; ++i) {
        files += "file" + std::to_string(i) + ".dat\n";
        disks += "file" + std::to_string(i) + ".dat = 1\n";
    }
    SetupSource source("bench", "[Version]\nSignature = \"$Chicago$\"\n[SourceDisksNames]\n1 = Disk,,,\n"
                                "[DestinationDirs]\nDefaultDestDir = 24,VtTarget\nBench.Files = 32768\n"
                                "[Install]\nCopyFiles = Bench.Files\n"
                                "[Products]\n[Bench.Files]\n" + files + "[SourceDisksFiles]\n" + disks);
    for (int i = 0; i < 1000; ++i)
        source.Write("file" + std::to_string(i) + ".dat", std::string(4096, static_cast<char>('a' + i % 26)));
    EXPECT_EQ(0u, source.Run("/quiet")) << source.Log();
    EXPECT_EQ(std::string(4096, 'a' + 999 % 26), testsupport::ReadFileBytes(Target("file999.dat")));
    printf("1000 files of 4 KB installed in %lu ms\n", static_cast<unsigned long>(source.ms));
}

}  // namespace

int main(int argc, char** argv)
{
    // Started under a planted name as an Exec program: leaves its mark.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    if (std::strstr(self, "\\planted") != nullptr) {
        std::ofstream(std::string(self) + ".ran") << "run";
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return 2;
    g_setup = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
