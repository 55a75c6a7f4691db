// Shortcuts created and deleted from a script through the real shell link
// object, read back through its ANSI interface, with the shell's change
// notifications observed in this process.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // the test's registry helpers come with Vista (Wine has them)

#include "ScriptFile.h"
#include "ShellFolders.h"
#include "Shortcuts.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kTarget[] = "C:\\shelltest\\app\\mdmprobe.exe";
const UINT kNotifyMessage = WM_APP + 1;

const char kScript[] = R"([Version]
Signature = "$Chicago$"
[Install]
MakeIcons = NoSuchSection, Icons
[Icons]
UPRG, "Vantor\Tools\Modem Test", C:\shelltest\app\mdmprobe.exe, "/P:COM3", C:\shelltest\app\mdmprobe.exe, 1, 1
uprg, Lower, C:\shelltest\app\mdmprobe.exe
UPRG, Skipped
XXXX, Unknown, C:\shelltest\app\mdmprobe.exe
UPRG, "..\Outside", C:\shelltest\app\mdmprobe.exe
UPRG, "Vantor/../../Outside", C:\shelltest\app\mdmprobe.exe
[Remove]
DelIcons = DelList
[DelList]
UPRG, "Vantor\Tools\Modem Test"
UPRG, Lower
)";

std::vector<std::string> events;  // "<event> <path>" as the shell reported them

LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kNotifyMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    char path[MAX_PATH] = "";
    SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST*>(wParam)[0], path);
    const char* name = lParam == SHCNE_CREATE ? "create" : lParam == SHCNE_UPDATEITEM ? "update"
                     : lParam == SHCNE_DELETE ? "delete" : lParam == SHCNE_MKDIR      ? "mkdir"
                     : lParam == SHCNE_RMDIR  ? "rmdir"  : "other";
    events.push_back(std::string(name) + " " + path);
    return 0;
}

// The notifications since the last call.
std::vector<std::string> TakeEvents()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
}

// Every shell change below the desktop goes to a window of this thread.
void WatchShell()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = NotifyProc;
    windowClass.lpszClassName = "ShellWatch";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("ShellWatch", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    LPITEMIDLIST desktop = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop);
    SHChangeNotifyEntry entry = {desktop, TRUE};
    ASSERT_NE(0u, SHChangeNotifyRegister(window, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ALLEVENTS,
                                         kNotifyMessage, 1, &entry));
}

// "path|working directory|arguments|icon file,icon number" of a shortcut file.
std::string ReadLink(const std::string& file)
{
    std::string fields = "(not loaded)";
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char path[MAX_PATH] = "", dir[MAX_PATH] = "", arguments[MAX_PATH] = "", icon[MAX_PATH] = "";
        int iconNumber = -1;
        link->GetPath(path, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(dir, MAX_PATH);
        link->GetArguments(arguments, MAX_PATH);
        link->GetIconLocation(icon, MAX_PATH, &iconNumber);
        fields = std::string(path) + "|" + dir + "|" + arguments + "|" + icon + "," + std::to_string(iconNumber);
    }
    if (persist)
        persist->Release();
    if (link)
        link->Release();
    return fields;
}

class Shortcuts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        CreateDirectoryA("C:\\shelltest", nullptr);
        CreateDirectoryA("C:\\shelltest\\app", nullptr);
        CloseHandle(CreateFileA(kTarget, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(Shortcuts, CreateInSubFoldersUpdateAndDelete)
{
    // The user's Programs folder: an expandable value naming a folder of ours.
    const std::string programs = "C:\\shelltest\\Programs", link = programs + "\\Vantor\\Tools\\Modem Test.lnk";
    CreateDirectoryA(programs.c_str(), nullptr);
    const char value[] = "%SystemDrive%\\shelltest\\Programs";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Programs", REG_EXPAND_SZ, value,
                                             sizeof(value)));
    HINF script = testsupport::OpenScript("C:\\shelltest\\setup.inf", kScript);
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    WatchShell();

    EXPECT_EQ(1, ProcessShortcutKeys(script, "Install", 1));  // quiet: the folder is not opened
    EXPECT_EQ(std::string(kTarget) + "|C:\\shelltest\\app|/P:COM3|" + kTarget + ",1", ReadLink(link));
    EXPECT_TRUE(testsupport::FileExists(programs + "\\Lower.lnk")) << "codes in any case";
    EXPECT_FALSE(testsupport::FileExists(programs + "\\Skipped.lnk")) << "a line without target";
    EXPECT_FALSE(testsupport::FileExists("C:\\shelltest\\Outside.lnk")) << "a name that leaves the folder, also by slashes";
    EXPECT_EQ((std::vector<std::string>{"mkdir " + programs + "\\Vantor", "mkdir " + programs + "\\Vantor\\Tools",
                                        "create " + link, "create " + programs + "\\Lower.lnk"}),
              TakeEvents());

    EXPECT_EQ(1, CreateShortcut("UPRG", "Vantor\\Tools\\Modem Test", kTarget, "", "", 0, 0));
    EXPECT_EQ((std::vector<std::string>{"update " + link}), TakeEvents());

    EXPECT_EQ(1, ProcessShortcutKeys(script, "Remove", 1));
    EXPECT_FALSE(testsupport::FileExists(programs + "\\Vantor"));
    EXPECT_TRUE(testsupport::FileExists(programs)) << "the shell folder stays, though empty";
    EXPECT_EQ((std::vector<std::string>{"delete " + link, "rmdir " + programs + "\\Vantor\\Tools",
                                        "rmdir " + programs + "\\Vantor", "delete " + programs + "\\Lower.lnk"}),
              TakeEvents());
    EXPECT_EQ(1, DeleteShortcut("UPRG", "Vantor\\Tools\\Modem Test"));
    EXPECT_TRUE(TakeEvents().empty()) << "nothing to report for a missing shortcut";
    SetupCloseInfFile(script);
}

TEST_F(Shortcuts, MachineWideFolderFallsBackToTheUsersOnWindows98)
{
    char userDesktop[MAX_PATH], commonPrograms[MAX_PATH], resolved[MAX_PATH], value[MAX_PATH];
    ASSERT_EQ(1, ResolveShellFolder("UDSK", userDesktop));
    ASSERT_EQ(1, ResolveShellFolder("CPRG", commonPrograms));
    DWORD size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, kShellFolders, "Common Programs", RRF_RT_REG_SZ,
                                          nullptr, value, &size));
    EXPECT_STREQ(value, commonPrograms) << "the machine-wide value when there is one";
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kShellFolders, "Common Desktop"));

    ASSERT_EQ(1, ResolveShellFolder("CDSK", resolved));
    EXPECT_STREQ(userDesktop, resolved);
    EXPECT_EQ(1, CreateShortcut("CDSK", "Modem Test", kTarget, "", "", 0, 0));
    EXPECT_EQ(std::string(kTarget) + "|C:\\shelltest\\app||,0", ReadLink(std::string(userDesktop) + "\\Modem Test.lnk"));
}

}  // namespace
