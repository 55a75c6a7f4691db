// Neither program takes a DLL from the folders it starts in. Copies of a DLL
// whose entry point leaves a mark (MarkDll.cpp) are planted under the names
// of system DLLs that the programs, or system DLLs on their behalf, load by
// name (read from +loaddll traces of these runs): beside setup.exe of the
// shipped medium, beside the installed mdmprobe.exe and in the modem test's
// current folder. Wine is told to prefer such copies to its own (native
// first), which gives Windows' search order for DLLs that are not Known DLLs.
// An unattended installation and an automatic modem test then succeed as
// usual and leave no mark.
//
// version.dll is not planted: Wine's own advapi32 imports it before the
// program's first instruction (on Windows a Known DLL never takes its imports
// from the program's folder); the import check keeps it out of the programs'
// import tables instead.
#include "PlantedDlls.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using testsupport::ChildProcess;
using testsupport::FileExists;

namespace {

std::string g_medium;    // Windows path of the shipped medium (dist/x64)
std::string g_markDll;   // the stand-in
std::string g_loadChild; // dll_load_child_plain.exe: loads DLLs without any guard
std::string g_setupUnguarded;     // setup.exe built without its DLL search guard
std::string g_mdmprobeUnguarded;  // mdmprobe.exe built so

constexpr DWORD kRunMs = 60000;

// Read from +loaddll traces of these runs: what the programs, or system
// DLLs on their behalf, load by name (rich edit with its text shaping,
// theming and drawing, the common controls, cabinets), and what the
// desktop's and the services' processes load beside them (the shell's proxy
// library, the user profile library). Wine loads no more than these; the
// theme's, the shell's and the loader's helpers that Windows loads by name
// for such programs complete the dozen.
const std::vector<std::string> kPlanted = {
    "riched32.dll", "riched20.dll", "usp10.dll",    "uxtheme.dll",  "msimg32.dll", "comctl32.dll",
    "cabinet.dll",  "actxprxy.dll", "dwmapi.dll",   "propsys.dll",  "userenv.dll", "apphelp.dll",
};

void Plant(const std::string& folder)
{
    ASSERT_TRUE(testsupport::PlantCopies(g_markDll, folder, kPlanted)) << folder;
}

std::string MachineText(const char* key, const char* name)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "";
    char value[MAX_PATH] = {};
    DWORD size = sizeof(value) - 1;
    const LONG result = RegQueryValueExA(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS ? std::string(value) : "";
}

// The simulated VX-56i installed as a Windows modem, as its driver would.
void RegisterModem()
{
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE,
                                             "SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                             "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000",
                                             "Model", "Vantor VX-56i PCI Modem"));
}

}  // namespace

// Without a restricted search, every planted name is taken from the
// program's folder: the overrides and the mark DLL work for each of them, so
// the absence of marks below means something.
TEST(Planting, EveryPlantedCopyIsTakenWhenNothingStopsIt)
{
    const std::string folder = testsupport::RunDir() + "\\plain";
    Plant(folder);
    ASSERT_TRUE(testsupport::PreferPlantedCopies(kPlanted));
    ASSERT_TRUE(CopyFileA(g_loadChild.c_str(), (folder + "\\dll_load_child.exe").c_str(), FALSE));
    std::string command = "\"" + folder + "\\dll_load_child.exe\" plain";
    for (const std::string& name : kPlanted)
        command += " " + name;
    ChildProcess program;
    ASSERT_TRUE(program.Start(command, folder));
    ASSERT_TRUE(program.Wait(kRunMs));
    for (const std::string& name : kPlanted)
        EXPECT_TRUE(testsupport::Marked(name, program.Id())) << name;
}

// The shipped medium installed with /quiet (which starts the modem test at
// its end), then the installed modem test in automatic mode against the
// simulated modem: both succeed, and nothing planted was loaded.
TEST(Planting, InstallationAndModemTestLeaveNoMark)
{
    GetDesktopWindow();  // Wine's desktop process starts now, in the test's folder, not among the copies

    const std::string medium = testsupport::RunDir() + "\\medium";
    Plant(medium);
    for (const char* file : {"setup.exe", "setup.inf", "mdmprobe.cab"})
        ASSERT_TRUE(CopyFileA((g_medium + "\\" + file).c_str(), (medium + "\\" + file).c_str(), FALSE)) << file;
    const std::string vantor = MachineText("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir") +
                               "\\Vantor";
    const std::string target = vantor + "\\Modem Tools";
    CreateDirectoryA(vantor.c_str(), nullptr);
    Plant(target);
    const std::string current = testsupport::RunDir() + "\\current";
    Plant(current);
    ASSERT_TRUE(testsupport::PreferPlantedCopies(kPlanted));

    // Every run goes on after a failure, so that the marks are listed.
    ChildProcess install;
    ASSERT_TRUE(install.Start("\"" + medium + "\\setup.exe\" /quiet", medium));
    DWORD exitCode = 1;
    if (install.Wait(kRunMs, &exitCode)) {
        EXPECT_EQ(0u, exitCode);
        HWND wizard = uidriver::WaitForWizard(0, 20000);
        EXPECT_NE(nullptr, wizard) << "the installation did not start the modem test";
        if (wizard) {
            EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs)) << "the started modem test did not close";
        }
    } else {
        ADD_FAILURE() << "the installation did not end";
        install.Kill();
    }

    if (FileExists(target + "\\mdmprobe.exe")) {
        RegisterModem();
        const std::string log = testsupport::RunDir() + "\\probe.log";
        ChildProcess probe;
        ASSERT_TRUE(probe.Start("\"" + target + "\\mdmprobe.exe\" /P:COM3 /T:0305550100 /L:" + log, current));
        exitCode = 1;
        if (probe.Wait(kRunMs, &exitCode)) {
            EXPECT_EQ(0u, exitCode) << "every test passes";
            EXPECT_NE(std::string::npos, testsupport::ReadFileBytes(log).find("END OF EMI")) << "the log is complete";
        } else {
            ADD_FAILURE() << "the modem test did not close by itself";
        }
    } else {
        ADD_FAILURE() << "mdmprobe.exe was not installed";
    }

    for (const std::string& mark : testsupport::PlantedMarks())
        ADD_FAILURE() << "a planted DLL was loaded: " << mark;
}

// Both programs built without their guard (the test build's
// setup_unguarded and mdmprobe_unguarded, whose WinMain leaves the DLL
// search as it is) take planted copies under the same Wine settings: the
// absence of marks above is the guard's doing, not the environment's.
TEST(Planting, ProgramsWithoutTheGuardTakeThePlantedCopies)
{
    GetDesktopWindow();
    const std::string medium = testsupport::RunDir() + "\\unguarded";
    Plant(medium);
    for (const char* file : {"setup.inf", "mdmprobe.cab"})
        ASSERT_TRUE(CopyFileA((g_medium + "\\" + file).c_str(), (medium + "\\" + file).c_str(), FALSE)) << file;
    ASSERT_TRUE(CopyFileA(g_setupUnguarded.c_str(), (medium + "\\setup.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(g_mdmprobeUnguarded.c_str(), (medium + "\\mdmprobe.exe").c_str(), FALSE));
    ASSERT_TRUE(testsupport::PreferPlantedCopies(kPlanted));
    const auto marksOf = [](DWORD processId) {
        std::string names;
        for (const std::string& name : kPlanted)
            names += testsupport::Marked(name, processId) ? " " + name : "";
        return names;
    };

    // The mark DLL exports nothing, so a program that takes it fails at its
    // first call into it: no debugger is to wait for, the program just ends.
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE,
                                             "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", "Debugger",
                                             ""));
    // Each program gets its time; one still running then is ended: the
    // marks are written when a copy is loaded, whatever the program does next.
    ChildProcess install;
    ASSERT_TRUE(install.Start("\"" + medium + "\\setup.exe\" /quiet", medium));
    if (!install.Wait(kRunMs))
        install.Kill();
    if (HWND wizard = uidriver::WaitForWizard(0, 2000)) {
        EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs)) << "a started modem test did not close";
    }
    EXPECT_NE("", marksOf(install.Id())) << "setup without its guard loaded no planted copy";

    RegisterModem();
    ChildProcess probe;
    ASSERT_TRUE(probe.Start("\"" + medium + "\\mdmprobe.exe\" /P:COM3 /L:" + testsupport::RunDir() + "\\probe.log",
                            medium));
    if (!probe.Wait(kRunMs))
        probe.Kill();
    EXPECT_NE("", marksOf(probe.Id())) << "mdmprobe without its guard loaded no planted copy";
    std::printf("taken without the guard: setup%s; mdmprobe%s\n", marksOf(install.Id()).c_str(),
                marksOf(probe.Id()).c_str());
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: planting_e2e_test MEDIUM-FOLDER MARK.dll DLL_LOAD_CHILD_PLAIN.exe "
                             "SETUP_UNGUARDED.exe MDMPROBE_UNGUARDED.exe\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    g_markDll = testsupport::UnixToWinPath(argv[2]);
    g_loadChild = testsupport::UnixToWinPath(argv[3]);
    g_setupUnguarded = testsupport::UnixToWinPath(argv[4]);
    g_mdmprobeUnguarded = testsupport::UnixToWinPath(argv[5]);
    return RUN_ALL_TESTS();
}
