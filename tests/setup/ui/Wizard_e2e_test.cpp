// The real setup.exe and its wizard, driven from outside like a user would:
// a kit folder per case (setup.exe, setup.inf, the files it installs, the
// test plug-in), the pages read and pressed with the UI driver, the effects
// read from the disk and the registry, and the full 32-bit exit code.
//
// This program is also the `StartApp` program of the scripts: started with
// "--mark FILE" it writes FILE and ends.
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include <cstring>
#include <fstream>
#include <string>

using testsupport::ChildProcess;
using testsupport::FileExists;
using testsupport::ProgramCopy;
using uidriver::WizardButton;

namespace {

std::string g_setup;   // Windows paths of setup.exe and the test plug-in
std::string g_plugin;
std::string g_self;

constexpr DWORD kPageMs = 20000;
constexpr DWORD kEndMs = 30000;
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kTargetDir[] = "C:\\Program Files\\Vantor Test";

// Page indexes without plug-in pages.
enum { kWelcome, kLicence, kComponents, kTarget, kReady, kFinish, kRemoval, kRemovalFinished };

// Two products: Main (offered, preselected) and Extra (offered only), each
// with its own file; `install` and `extra` add lines to the install
// section and the end of the script.
std::string Script(const std::string& marker, const std::string& install = "", const std::string& extra = "",
                   const std::string& startApp = "")
{
    return "[Version]\r\nSignature=\"$Chicago$\"\r\n"
           "[SourceDisksNames]\r\n1=\"Test disk\",,,\r\n"
           "[SourceDisksFiles]\r\nmain.txt=1\r\nextra.txt=1\r\nlate.txt=1\r\nsetup.exe=1\r\n"
           "[DestinationDirs]\r\nDefaultDestDir=24,Vantor Test\r\n"
           "Main.Files=32768\r\nExtra.Files=32768\r\nLate.Files=32768\r\n"
           "[Install]\r\nUninstall=VantorTest,\"Vantor Test\"\r\n"
           "StartApp=" + (startApp.empty() ? "\"Marker\"," + g_self + ",\"--mark " + marker + "\"" : startApp) + "\r\n" +
           install +
           "[Remove]\r\n"
           "[Products]\r\n"
           "Main=\"Main product\",Install.Main,Remove.Main,3,1,\"Main description\",1.0\r\n"
           "Extra=\"Extra product\",Install.Extra,Remove.Extra,1,4,\"Extra description\",1.0\r\n"
           "[Install.Main]\r\nCopyFiles=Main.Files\r\n[Remove.Main]\r\nDelFiles=Main.Files\r\n"
           "[Main.Files]\r\nmain.txt\r\nsetup.exe\r\n"
           "[Install.Extra]\r\nCopyFiles=Extra.Files\r\n[Remove.Extra]\r\nDelFiles=Extra.Files\r\n"
           "[Extra.Files]\r\nextra.txt\r\n" + extra;
}

// A kit: setup.exe with its script (see Script) and files in a folder of
// its own, started with `arguments`.
struct Kit
{
    ProgramCopy program;
    ChildProcess child;
    HWND sheet = nullptr;

    Kit(const char* folder, const std::string& install = "", const std::string& extra = "",
        const std::string& startApp = "")
        : program(g_setup, folder, "setup.exe")
    {
        std::ofstream(program.Path("setup.inf"), std::ios::binary) << Script(Marker(), install, extra, startApp);
        std::ofstream(program.Path("main.txt"), std::ios::binary) << "main";
        std::ofstream(program.Path("extra.txt"), std::ios::binary) << "extra";
    }
    std::string Marker() const { return program.Path("started.txt"); }

    bool Start(const std::string& arguments)
    {
        return program.Copied() && program.Start(child, arguments + " /debug:" + program.Path("log.txt"));
    }
    // Starts the wizard and waits for its first page.
    bool Open(const std::string& arguments)
    {
        return Start(arguments) && (sheet = uidriver::WaitForWizard(child.Id(), kPageMs)) != nullptr;
    }
    bool At(int index)
    {
        return uidriver::WaitFor([&] { return uidriver::CurrentPageIndex(sheet) == index; }, kPageMs);
    }
    // Presses Next and waits for page `index`.
    bool Next(int index)
    {
        uidriver::Press(sheet, WizardButton::Next);
        return At(index);
    }
    DWORD ExitCode()
    {
        DWORD code = 0xDEAD;
        if (!child.Wait(kEndMs, &code))
            ADD_FAILURE() << "setup did not end; log:\n" << testsupport::ReadFileBytes(program.Path("log.txt"));
        return code;
    }
    HWND List() const { return uidriver::PageControl(sheet, 1207); }
};

// Which buttons the sheet offers: "B" Back, "N" Next, "F" Finish, "C" Cancel.
std::string Buttons(HWND sheet)
{
    std::string offered;
    for (auto [button, letter] : {std::make_pair(WizardButton::Back, 'B'), {WizardButton::Next, 'N'},
                                  {WizardButton::Finish, 'F'}, {WizardButton::Cancel, 'C'}})
        if (uidriver::ButtonEnabled(sheet, button))
            offered += letter;
    return offered;
}

bool WaitButtons(HWND sheet, const std::string& offered)
{
    return uidriver::WaitFor([&] { return Buttons(sheet) == offered; }, kPageMs);
}

// Row state of the check-list box: check state, dimmed mark.
int RowState(HWND list, int row)
{
    return static_cast<int>(SendMessageA(list, LB_GETITEMDATA, row, 0) & 0xFFFF);
}
int RowDimmed(HWND list, int row)
{
    return static_cast<int>((SendMessageA(list, LB_GETITEMDATA, row, 0) >> 24) & 0xFF);
}

// A click on row `row` at `x` pixels from the left (its check box is the
// first 18 pixels).
void ClickRow(HWND list, int row, int x)
{
    const LPARAM point = MAKELPARAM(x, row * 18 + 9);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
}

bool WaitRow(HWND list, int row, int state)
{
    return uidriver::WaitFor([&] { return RowState(list, row) == state; }, kPageMs);
}

std::string Installed(const char* file)
{
    return std::string(kTargetDir) + "\\" + file;
}

// /quiet with the preselected product: no page waits for anyone, the run
// starts by itself, Finish is pressed by itself and starts the StartApp
// program.
TEST(SetupWizard, QuietInstallRunsAndStartsTheProgram)
{
    Kit kit("quiet");
    ASSERT_TRUE(kit.Start("/quiet"));
    EXPECT_EQ(0u, kit.ExitCode());
    EXPECT_TRUE(FileExists(Installed("main.txt")));
    EXPECT_FALSE(FileExists(Installed("extra.txt"))) << "not preselected";
    EXPECT_TRUE(uidriver::WaitFor([&] { return FileExists(kit.Marker()); }, 5000)) << "StartApp program started";
}

// The pages in order; the components page with its check boxes and
// descriptions; typed targets that are no absolute path, then one with
// blanks and trailing backslashes.
TEST(SetupWizard, InteractiveInstallIntoATypedDirectory)
{
    Kit kit("interactive");
    ASSERT_TRUE(kit.Open(""));
    ASSERT_TRUE(kit.At(kWelcome));
    EXPECT_TRUE(WaitButtons(kit.sheet, "NC"));
    EXPECT_EQ("Vantor Modem Software", uidriver::ControlText(kit.sheet, 1202));
    ASSERT_TRUE(kit.Next(kLicence));
    EXPECT_NE(std::string::npos, uidriver::ControlText(kit.sheet, 1206).find("End-User License Agreement"));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));

    ASSERT_TRUE(kit.Next(kComponents));
    HWND list = kit.List();
    ASSERT_EQ(2, SendMessageA(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ("Main description", uidriver::ControlText(kit.sheet, 1202));
    EXPECT_EQ(1, RowState(list, 0));
    EXPECT_EQ(0, RowState(list, 1));
    ClickRow(list, 1, 80);  // on the text: selects, does not toggle
    EXPECT_TRUE(uidriver::WaitFor([&] { return uidriver::ControlText(kit.sheet, 1202) == "Extra description"; },
                                  kPageMs));
    EXPECT_EQ(0, RowState(list, 1));
    PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);  // the selected row
    EXPECT_TRUE(WaitRow(list, 1, 1));
    ClickRow(list, 0, 9);  // on Main's check box
    EXPECT_TRUE(WaitRow(list, 0, 0));
    ClickRow(list, 0, 9);
    EXPECT_TRUE(WaitRow(list, 0, 1));

    ASSERT_TRUE(kit.Next(kTarget));
    EXPECT_EQ(kTargetDir, uidriver::ControlText(kit.sheet, 1208)) << "the default: program files and DefaultDestDir";
    HWND edit = uidriver::PageControl(kit.sheet, 1208);
    // Only an absolute path offers Next: not empty text, blanks, bare
    // backslashes, a drive without a folder or a relative path.
    for (const char* refused : {"", "   ", "\\\\", "C:\\", "Vantor Test Dir", "\\Vantor Test Dir"}) {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\Somewhere"));
        EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(refused));
        EXPECT_TRUE(WaitButtons(kit.sheet, "BC")) << "'" << refused << "'";
    }
    const std::string typed = "  C:\\Vantor Test Dir\\\\ ";
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    ASSERT_TRUE(kit.Next(kReady));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    ASSERT_TRUE(kit.Next(kFinish));
    EXPECT_TRUE(WaitButtons(kit.sheet, "F"));
    EXPECT_EQ("Start Marker now", uidriver::ControlText(kit.sheet, 1211));
    EXPECT_FALSE(uidriver::IsShown(uidriver::PageControl(kit.sheet, 1203))) << "no restart note";
    uidriver::Click(kit.sheet, 1211);  // not now
    uidriver::Press(kit.sheet, WizardButton::Finish);
    EXPECT_EQ(0u, kit.ExitCode());

    for (const char* file : {"main.txt", "extra.txt", "setup.exe"})
        EXPECT_TRUE(FileExists(std::string("C:\\Vantor Test Dir\\") + file)) << file;
    HKEY key = nullptr;
    char value[MAX_PATH] = "";
    DWORD size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "Main").c_str(), 0,
                                           KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "UserTargetDir", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(value), &size));
    RegCloseKey(key);
    EXPECT_STREQ("C:\\Vantor Test Dir", value) << "stored trimmed";
    EXPECT_FALSE(FileExists(kit.Marker())) << "the box was cleared";
}

// Plug-in pages of level 0 stand in for the welcome page, those of level 6
// for the ready page, so no built-in installation runs; in both looks.
TEST(SetupWizard, PluginPagesReplaceWelcomeAndReady)
{
    for (const char* style : {"/style:1", "/style:0"}) {
        SCOPED_TRACE(style);
        Kit kit(style[7] == '1' ? "plugins97" : "pluginsclassic",
                "Plugins=\"testplugin.dll:x;pages=0/1;pages=6/1\"\r\n");
        ASSERT_TRUE(CopyFileA(g_plugin.c_str(), kit.program.Path("testplugin.dll").c_str(), FALSE));
        ASSERT_TRUE(kit.Open(style));
        ASSERT_TRUE(kit.At(0));
        EXPECT_EQ(8, uidriver::PageCount(kit.sheet));
        EXPECT_EQ("plug-in page 1", uidriver::ControlText(kit.sheet, 1000));
        ASSERT_TRUE(kit.Next(1));
        ASSERT_TRUE(kit.Next(2));
        ASSERT_TRUE(kit.Next(3));
        ASSERT_TRUE(kit.Next(4));
        EXPECT_EQ("plug-in page 2", uidriver::ControlText(kit.sheet, 1000));
        ASSERT_TRUE(kit.Next(5));
        EXPECT_TRUE(WaitButtons(kit.sheet, "F"));
        uidriver::Click(kit.sheet, 1211);
        uidriver::Press(kit.sheet, WizardButton::Finish);
        EXPECT_EQ(0u, kit.ExitCode());
        EXPECT_FALSE(FileExists(Installed("main.txt"))) << "no installation ran";
    }
}

// A run that fails (a file of the product is missing) shows the failure
// and stays with Back and Next; with the file in place, Next installs.
TEST(SetupWizard, FailedRunOffersBackAndNextAndTriesAgain)
{
    Kit kit("again", "CopyFiles=Late.Files\r\n", "[Late.Files]\r\nlate.txt\r\n");
    ASSERT_TRUE(kit.Open(""));
    ASSERT_TRUE(kit.At(kWelcome));
    for (int page : {int(kLicence), int(kComponents), int(kTarget), int(kReady)})
        ASSERT_TRUE(kit.Next(page));
    uidriver::Press(kit.sheet, WizardButton::Next);
    HWND box = uidriver::WaitForDialog(kit.child.Id(), kPageMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0u, uidriver::DialogText(box).find("The installation did not complete successfully."))
        << uidriver::DialogText(box);
    uidriver::PressDialogButton(box, IDOK);
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    EXPECT_EQ(kReady, uidriver::CurrentPageIndex(kit.sheet));

    std::ofstream(kit.program.Path("late.txt"), std::ios::binary) << "late";
    ASSERT_TRUE(kit.Next(kFinish));
    uidriver::Click(kit.sheet, 1211);
    uidriver::Press(kit.sheet, WizardButton::Finish);
    EXPECT_EQ(0u, kit.ExitCode());
    EXPECT_TRUE(FileExists(Installed("late.txt")));
}

// An interactive run onto a disk that fills up (drive D: of the sandbox,
// 96 KB): the platform's default handling skips the file without asking
// anyone (Wine shows no dialog), so the run fails as an unattended one
// would, and the page offers Back and Next.
TEST(SetupWizard, FullDiskFailsAnInteractiveRun)
{
    const std::string noSandbox = testsupport::NoSandboxReason("drive D:");
    if (!noSandbox.empty())
        GTEST_SKIP() << noSandbox;
    ASSERT_NE(DRIVE_NO_ROOT_DIR, GetDriveTypeA("D:\\")) << "the sandbox's drive D:";
    Kit kit("full");
    ASSERT_TRUE(kit.Open(""));
    ASSERT_TRUE(kit.At(kWelcome));
    for (int page : {int(kLicence), int(kComponents), int(kTarget)})
        ASSERT_TRUE(kit.Next(page));
    SendMessageA(uidriver::PageControl(kit.sheet, 1208), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("D:\\Vantor Test"));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    ASSERT_TRUE(kit.Next(kReady));
    uidriver::Press(kit.sheet, WizardButton::Next);
    HWND box = uidriver::WaitForDialog(kit.child.Id(), kPageMs);
    ASSERT_NE(nullptr, box);
    const std::string text = uidriver::DialogText(box);
    EXPECT_EQ(0u, text.find("The installation did not complete successfully.")) << text;
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DISK_FULL, 0, reason,
                   sizeof(reason), nullptr);
    EXPECT_NE(std::string::npos, text.find(std::string(reason).substr(0, 9))) << text;
    uidriver::PressDialogButton(box, IDOK);
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    EXPECT_EQ(kReady, uidriver::CurrentPageIndex(kit.sheet));
    uidriver::Press(kit.sheet, WizardButton::Cancel);
    EXPECT_EQ(1603u, kit.ExitCode());
    EXPECT_NE(std::string::npos, testsupport::ReadFileBytes(kit.program.Path("log.txt")).find("cannot copy "));
}

// Once a product of the script is installed, a new run skips the target
// page (the recorded directory is used again). /remove:<key> opens at the
// removal page with only Next, shows the product; after the removal only
// Finish remains.
TEST(SetupWizard, RemovalPagesOfferNextThenFinish)
{
    {
        Kit install("remove");
        ASSERT_TRUE(install.Start("/quiet"));
        ASSERT_EQ(0u, install.ExitCode());
        ASSERT_TRUE(FileExists(Installed("main.txt")));
    }
    {
        Kit again("reuse");
        ASSERT_TRUE(again.Open(""));
        for (int page : {int(kLicence), int(kComponents), int(kReady)})
            ASSERT_TRUE(again.Next(page)) << page;
        uidriver::Press(again.sheet, WizardButton::Cancel);
        EXPECT_EQ(1602u, again.ExitCode());
    }
    Kit kit("remove");
    ASSERT_TRUE(kit.Open("/remove:main"));
    ASSERT_TRUE(kit.At(kRemoval));
    EXPECT_TRUE(WaitButtons(kit.sheet, "NC"));
    EXPECT_EQ("Main product", uidriver::ControlText(kit.sheet, 1203));
    ASSERT_TRUE(kit.Next(kRemovalFinished));
    EXPECT_TRUE(WaitButtons(kit.sheet, "F"));
    uidriver::Press(kit.sheet, WizardButton::Finish);
    EXPECT_EQ(0u, kit.ExitCode());
    EXPECT_FALSE(FileExists(Installed("main.txt")));
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "Main").c_str(), 0, KEY_READ, &key));
}

// An interactive removal that meets a file it may not delete (a folder has
// taken its name) fails as an interactive copy error does: Wine's default
// handling skips without asking anyone, so the run fails, shows it, and
// Next stays to try again; nothing waits for the restart.
TEST(SetupWizard, KeptFileFailsAnInteractiveRemoval)
{
    {
        Kit install("kept");
        ASSERT_TRUE(install.Start("/quiet"));
        ASSERT_EQ(0u, install.ExitCode());
    }
    ASSERT_TRUE(DeleteFileA(Installed("main.txt").c_str()));
    ASSERT_TRUE(CreateDirectoryA(Installed("main.txt").c_str(), nullptr));
    Kit kit("kept");
    ASSERT_TRUE(kit.Open("/remove:main"));
    ASSERT_TRUE(kit.At(kRemoval));
    uidriver::Press(kit.sheet, WizardButton::Next);
    HWND box = uidriver::WaitForDialog(kit.child.Id(), kPageMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0u, uidriver::DialogText(box).find("The deinstallation did not complete successfully."))
        << uidriver::DialogText(box);
    uidriver::PressDialogButton(box, IDOK);
    EXPECT_TRUE(WaitButtons(kit.sheet, "NC"));
    uidriver::Press(kit.sheet, WizardButton::Cancel);
    EXPECT_EQ(1603u, kit.ExitCode());
    EXPECT_NE(std::string::npos, testsupport::ReadFileBytes(kit.program.Path("log.txt"))
                                     .find("cannot delete " + Installed("main.txt")));
    EXPECT_TRUE(testsupport::PendingOperations().empty());
}

// A preselected product of which a newer version is installed starts
// unchecked and dimmed; checking it asks, and No leaves it unchecked.
// Without a checked product there is no Next.
TEST(SetupWizard, NewerInstalledProductStartsUncheckedAndAsks)
{
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Main",
                                             "ProductVersion", "2.0"));
    Kit kit("newer");
    ASSERT_TRUE(kit.Open(""));
    ASSERT_TRUE(kit.At(kWelcome));
    ASSERT_TRUE(kit.Next(kLicence));
    ASSERT_TRUE(kit.Next(kComponents));
    HWND list = kit.List();
    EXPECT_EQ(0, RowState(list, 0));
    EXPECT_NE(0, RowDimmed(list, 0));
    EXPECT_EQ(0, RowDimmed(list, 1));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BC")) << "nothing checked";

    PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);  // row 0 is selected
    HWND box = uidriver::WaitForDialog(kit.child.Id(), kPageMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Warning", uidriver::Text(box));
    EXPECT_EQ("A more recent version of Main product is currently installed on your system.\r\r"
              "Do you really want to replace the existing version?",
              uidriver::DialogText(box));
    uidriver::PressDialogButton(box, uidriver::FindDialogButton(box, "no"));
    EXPECT_TRUE(uidriver::WaitFor([&] { return uidriver::FindDialog(kit.child.Id()) == nullptr; }, kPageMs));
    EXPECT_EQ(0, RowState(list, 0));

    ClickRow(list, 1, 9);
    EXPECT_TRUE(WaitRow(list, 1, 1));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    ClickRow(list, 1, 9);
    EXPECT_TRUE(WaitRow(list, 1, 0));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BC")) << "unchecking the last product";
    uidriver::Press(kit.sheet, WizardButton::Cancel);
    EXPECT_EQ(1602u, kit.ExitCode());
}

// ---- Nothing a user plants or pre-creates steers the elevated run ----------

std::string SystemFolder()
{
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, sizeof(path));
    return path;
}

// The first line of a text file, without its line end.
std::string FirstLine(const std::string& path)
{
    std::string text = testsupport::ReadFileBytes(path);
    return text.substr(0, text.find_first_of("\r\n"));
}

// A cmd.exe planted beside setup.exe (a copy of this program, which then
// leaves planted.txt): a StartApp and an Exec program named without a
// folder are the system's, and run in the system folder unless the script
// names another.
TEST(SetupWizard, ProgramsNamedWithoutAFolderAreTheSystems)
{
    for (const char* file : {"C:\\startapp-cwd.txt", "C:\\exec-cwd.txt", "C:\\exec-dir.txt"})
        DeleteFileA(file);
    Kit kit("bare", "Exec=Bare\r\n",
            "[Bare]\r\n2,cmd.exe,\"/c cd > C:\\exec-cwd.txt\"\r\n"
            "2,cmd.exe,\"/c cd > C:\\exec-dir.txt\",%32768%\r\n",
            "\"Bare\",cmd.exe,\"/c cd > C:\\startapp-cwd.txt\"");
    ASSERT_TRUE(CopyFileA(g_self.c_str(), kit.program.Path("cmd.exe").c_str(), FALSE));
    ASSERT_TRUE(kit.Start("/quiet"));
    EXPECT_EQ(0u, kit.ExitCode());
    EXPECT_TRUE(uidriver::WaitFor([] { return FileExists("C:\\startapp-cwd.txt"); }, 10000));
    EXPECT_FALSE(FileExists(kit.program.Path("planted.txt"))) << "the planted cmd.exe ran";
    EXPECT_EQ(SystemFolder(), FirstLine("C:\\exec-cwd.txt"));
    EXPECT_EQ(kTargetDir, FirstLine("C:\\exec-dir.txt")) << "the working folder the line names";
    EXPECT_EQ(SystemFolder(), FirstLine("C:\\startapp-cwd.txt"));
}

// From their check to the end of the run the medium's files can be read
// but not written, renamed or deleted: what was checked is what gets
// installed. A file someone holds open for writing stops the run before
// anything is installed.
TEST(SetupWizard, MediumFilesCannotChangeDuringTheRun)
{
    {
        Kit kit("held");
        ASSERT_TRUE(kit.Open(""));
        ASSERT_TRUE(kit.At(kWelcome));
        const std::string main = kit.program.Path("main.txt");
        SetLastError(0xdeadbeef);
        HANDLE writer = CreateFileA(main.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        EXPECT_FALSE(MoveFileA(kit.program.Exe().c_str(), kit.program.Path("moved.exe").c_str()));
        EXPECT_FALSE(MoveFileA(kit.program.Path("setup.inf").c_str(), kit.program.Path("moved.inf").c_str()));
        EXPECT_FALSE(DeleteFileA(kit.program.Path("extra.txt").c_str()));
        HANDLE reader = CreateFileA(main.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, reader) << "reading stays possible";
        if (reader != INVALID_HANDLE_VALUE)
            CloseHandle(reader);
        uidriver::Press(kit.sheet, WizardButton::Cancel);
        EXPECT_EQ(1602u, kit.ExitCode());
        EXPECT_TRUE(DeleteFileA(kit.program.Path("extra.txt").c_str())) << "free again after the run";
    }
    Kit kit("busy");
    HANDLE writer = CreateFileA(kit.program.Path("main.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    ASSERT_TRUE(kit.Start("/quiet"));
    EXPECT_EQ(1603u, kit.ExitCode());
    CloseHandle(writer);
    EXPECT_FALSE(FileExists(Installed("main.txt")));
    EXPECT_NE(std::string::npos, testsupport::ReadFileBytes(kit.program.Path("log.txt"))
                                     .find("setup: the medium file " + kit.program.Path("main.txt") +
                                           " cannot be held against changes; nothing is installed"));
}

// A target folder the run makes is for administrators only; an existing one
// that users may write to (here: Everyone may) is warned about, in the
// debug log and once on the target page, whose Cancel stays there.
TEST(SetupWizard, TargetFolderMadeForAdministratorsAndAWritableOneWarned)
{
    {
        Kit kit("made");
        ASSERT_TRUE(kit.Start("/quiet"));
        EXPECT_EQ(0u, kit.ExitCode());
        const std::string log = testsupport::ReadFileBytes(kit.program.Path("log.txt"));
        EXPECT_NE(std::string::npos, log.find(std::string("setup run: created the target folder ") + kTargetDir +
                                              ", writable by administrators only"))
            << log;
        EXPECT_EQ(std::string::npos, log.find("warning:")) << log;
        // Forgotten, so that the next run asks for its target again.
        for (const char* key : {"Main", "VantorTest"})
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + key).c_str());
    }
    const char open[] = "C:\\Open Target";
    ASSERT_TRUE(CreateDirectoryA(open, nullptr));
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &everyone,
                                                                     nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(everyone, &present, &acl, &defaulted));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetNamedSecurityInfoA(const_cast<char*>(open), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, acl, nullptr));
    LocalFree(everyone);

    Kit kit("open");
    ASSERT_TRUE(kit.Open(""));
    ASSERT_TRUE(kit.At(kWelcome));
    for (int page : {int(kLicence), int(kComponents), int(kTarget)})
        ASSERT_TRUE(kit.Next(page));
    SendMessageA(uidriver::PageControl(kit.sheet, 1208), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(open));
    EXPECT_TRUE(WaitButtons(kit.sheet, "BNC"));
    uidriver::Press(kit.sheet, WizardButton::Next);
    HWND box = uidriver::WaitForDialog(kit.child.Id(), kPageMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Warning", uidriver::Text(box));
    EXPECT_EQ(std::string("Users without administrator rights can change the files in ") + open +
                  ", so they could replace the programs installed there.\r\n\r\nClick OK to install into this "
                  "folder anyway, or Cancel to choose another folder.",
              uidriver::DialogText(box));
    uidriver::PressDialogButton(box, IDCANCEL);
    EXPECT_TRUE(uidriver::WaitFor([&] { return uidriver::FindDialog(kit.child.Id()) == nullptr; }, kPageMs));
    EXPECT_EQ(kTarget, uidriver::CurrentPageIndex(kit.sheet)) << "Cancel stays on the page";
    ASSERT_TRUE(kit.Next(kReady)) << "warned once";
    ASSERT_TRUE(kit.Next(kFinish));
    uidriver::Click(kit.sheet, 1211);
    uidriver::Press(kit.sheet, WizardButton::Finish);
    EXPECT_EQ(0u, kit.ExitCode());
    EXPECT_NE(std::string::npos, testsupport::ReadFileBytes(kit.program.Path("log.txt"))
                                     .find(std::string("warning: users without administrator rights may write to "
                                                       "the target folder ") + open));
}

}  // namespace

int main(int argc, char** argv)
{
    // A copy planted as another program leaves a mark beside itself.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    const char* name = std::strrchr(self, '\\');
    if (name != nullptr && lstrcmpiA(name + 1, "cmd.exe") == 0) {
        std::ofstream(std::string(self, static_cast<size_t>(name - self)) + "\\planted.txt") << "planted";
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--mark") {
        std::ofstream(argv[2]) << "started";
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3)
        return 2;
    g_setup = testsupport::UnixToWinPath(argv[1]);
    g_plugin = testsupport::UnixToWinPath(argv[2]);
    g_self = self;
    return RUN_ALL_TESTS();
}
