// Pictures of the setup wizard: writes a small kit (the shipped setup.exe,
// a script with three products, their files), runs setup.exe in one look and
// the prefix's language, walks through its pages from outside and saves each
// state as a BMP file; then runs it again in remove mode for the removal
// pages:
//   setup_shots <setup.exe> wizard97|classic <language> <kit folder> <output folder>
// Files: <folder>\setup-<look>-<language>-<n>-<state>.bmp
// A newer version of one product is registered first, so the component
// list shows a dimmed row and its warning; another product may ask for the
// Windows CD, so the ready page shows its note.
#include "Snapshot.h"
#include "UiDriver.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using namespace uidriver;

namespace {

constexpr DWORD kWaitMs = 30000;

const char kScript[] =
    "[Version]\r\nSignature=\"$Chicago$\"\r\n"
    "[SourceDisksNames]\r\n1=\"Vantor Modem CD\",,,\r\n"
    "[SourceDisksFiles]\r\ntest.txt=1\r\ndriver.txt=1\r\nmanual.txt=1\r\nsetup.exe=1\r\n"
    "[DestinationDirs]\r\nDefaultDestDir=24,Vantor\\Modem Tools\r\n"
    "Test.Files=32768\r\nDriver.Files=32768\r\nManual.Files=32768\r\n"
    "[Install]\r\nProductVer=1.1.0.0\r\nUninstall=VantorModemTools,\"Vantor Modem Tools\"\r\n"
    "StartApp=\"Vantor Modem Test\",%32768%\\test.txt\r\n"
    "[Remove]\r\n"
    "[Products]\r\n"
    "ModemTest=\"Vantor Modem Test\",I.Test,R.Test,3,1,\"Finds your modem, tests it and writes a test log.\",1.1\r\n"
    "Driver=\"Vantor modem driver\",I.Driver,R.Driver,11,5,\"The Windows driver of the modem.\",2.0\r\n"
    "Manual=\"User's manual\",I.Manual,R.Manual,3,12,\"The modem's manual as a document.\",1.0\r\n"
    "[I.Test]\r\nCopyFiles=Test.Files\r\n[R.Test]\r\nDelFiles=Test.Files\r\n"
    "[Test.Files]\r\ntest.txt\r\nsetup.exe\r\n"
    "[I.Driver]\r\nCopyFiles=Driver.Files\r\n[R.Driver]\r\nDelFiles=Driver.Files\r\n[Driver.Files]\r\ndriver.txt\r\n"
    "[I.Manual]\r\nCopyFiles=Manual.Files\r\n[R.Manual]\r\nDelFiles=Manual.Files\r\n[Manual.Files]\r\n"
    "manual.txt\r\n";

// Saves numbered pictures of windows of the setup process.
struct Camera
{
    std::string prefix;
    int number = 0;

    void Snap(HWND window, const char* state)
    {
        const std::string path = prefix + "-" + std::to_string(++number) + "-" + state + ".bmp";
        const bool ok = SaveWindowPicture(window, path);
        std::printf("%s %s\n", ok ? "saved" : "FAILED", path.c_str());
    }
};

bool AtPage(HWND sheet, int index)
{
    return WaitFor([&] { return CurrentPageIndex(sheet) == index; }, kWaitMs);
}

bool NextTo(HWND sheet, int index)
{
    Press(sheet, WizardButton::Next);
    return AtPage(sheet, index);
}

// The setup process with the wizard on the screen.
struct Setup
{
    PROCESS_INFORMATION process = {};
    HWND sheet = nullptr;

    bool Start(const std::string& program, const std::string& arguments)
    {
        std::string line = "\"" + program + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return false;
        sheet = WaitForWizard(process.dwProcessId, kWaitMs);
        return sheet != nullptr;
    }
    // A dialog of the setup process other than the wizard (message box).
    HWND Box() const { return WaitForDialog(process.dwProcessId, kWaitMs); }
    // Cancels the wizard, waits for the end (ends the process after
    // kWaitMs) and closes the handles; nothing when it never started.
    void End()
    {
        if (!process.hProcess)
            return;
        if (HWND wizard = FindWizard(process.dwProcessId))
            Press(wizard, WizardButton::Cancel);
        if (WaitForSingleObject(process.hProcess, kWaitMs) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

// After Next on a run page: the next page when the run succeeds, else the
// failure box, which is saved and answered.
bool AfterRun(Setup& setup, Camera& camera, int nextIndex, const char* failureState)
{
    HWND box = nullptr;
    WaitFor([&] { return CurrentPageIndex(setup.sheet) == nextIndex || (box = FindDialog(setup.process.dwProcessId)); },
            kWaitMs);
    if (!box)
        return CurrentPageIndex(setup.sheet) == nextIndex;
    camera.Snap(box, failureState);
    PressDialogButton(box, IDOK);
    return false;
}

void Installation(const std::string& program, const std::string& style, Camera& camera)
{
    Setup setup;
    if (!setup.Start(program, style)) {
        std::printf("FAILED: no wizard\n");
        setup.End();
        return;
    }
    HWND sheet = setup.sheet;
    if (AtPage(sheet, 0))
        camera.Snap(sheet, "welcome");
    if (NextTo(sheet, 1))
        camera.Snap(sheet, "licence");
    if (NextTo(sheet, 2)) {
        camera.Snap(sheet, "components");
        // The driver's installed version is newer: its row is dimmed, and
        // checking it asks first.
        HWND list = PageControl(sheet, 1207);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(9, 18 + 9));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(9, 18 + 9));
        if (HWND box = setup.Box()) {
            camera.Snap(box, "newer-version");
            PressDialogButton(box, IDYES);
        }
    }
    if (NextTo(sheet, 3))
        camera.Snap(sheet, "target");
    if (NextTo(sheet, 4))
        camera.Snap(sheet, "ready");
    Press(sheet, WizardButton::Next);
    if (AfterRun(setup, camera, 5, "install-failed")) {
        camera.Snap(sheet, "finish");
        Click(sheet, 1211);
        Press(sheet, WizardButton::Finish);
    }
    setup.End();
}

void Removal(const std::string& program, const std::string& style, Camera& camera)
{
    Setup setup;
    if (!setup.Start(program, style + " /remove:ModemTest")) {
        std::printf("FAILED: no wizard\n");
        setup.End();
        return;
    }
    if (AtPage(setup.sheet, 6))
        camera.Snap(setup.sheet, "removal");
    Press(setup.sheet, WizardButton::Next);
    if (AfterRun(setup, camera, 7, "removal-failed")) {
        camera.Snap(setup.sheet, "removal-finished");
        Press(setup.sheet, WizardButton::Finish);
    }
    setup.End();
}

void RegisterNewerDriver()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Driver", 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const char version[] = "2.1";
    RegSetValueExA(key, "ProductVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), sizeof(version));
    RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool classic = argc == 6 && std::strcmp(argv[2], "classic") == 0;
    if (argc != 6 || (!classic && std::strcmp(argv[2], "wizard97") != 0)) {
        std::fprintf(stderr, "usage: setup_shots <setup.exe> wizard97|classic <language> <kit folder> "
                             "<output folder>\n");
        return 2;
    }
    const std::string kit = argv[4];
    CreateDirectoryA(kit.c_str(), nullptr);
    const std::string program = kit + "\\setup.exe";
    if (!CopyFileA(argv[1], program.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s to %s\n", argv[1], program.c_str());
        return 1;
    }
    std::ofstream(kit + "\\setup.inf", std::ios::binary) << kScript;
    for (const char* file : {"test.txt", "driver.txt", "manual.txt"})
        std::ofstream(kit + "\\" + file, std::ios::binary) << file;
    RegisterNewerDriver();

    Camera camera{std::string(argv[5]) + "\\setup-" + argv[2] + "-" + argv[3]};
    const std::string style = classic ? "/style:0" : "/style:1";
    Installation(program, style, camera);
    Removal(program, style, camera);
    return 0;
}
