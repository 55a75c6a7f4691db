// Shortcuts created and deleted from a setup script through the real shell
// link object, read back through its ANSI interface, with the shell's change
// notifications observed in this process.
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
UPRG, "Vantor\Tools\Modem Test", C:\shelltest\app\mdmprobe.exe, "/P:COM3 /L:test.log", C:\shelltest\app\mdmprobe.exe, 1, 1
uprg, Lower, C:\shelltest\app\mdmprobe.exe
UPRG, Skipped
XXXX, Unknown, C:\shelltest\app\mdmprobe.exe
UPRG, "..\Outside", C:\shelltest\app\mdmprobe.exe

[Remove]
DelIcons = DelList

[DelList]
UPRG, "Vantor\Tools\Modem Test"
UPRG, Lower
)";

// Shell change notifications received by a window of this thread.
class ShellEvents
{
public:
    ShellEvents()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ShellEventsTest";
        RegisterClassA(&windowClass);
        window_ = CreateWindowA("ShellEventsTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop_);
        SHChangeNotifyEntry entry = {desktop_, TRUE};
        registration_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ALLEVENTS,
                                               kNotifyMessage, 1, &entry);
    }
    ~ShellEvents()
    {
        SHChangeNotifyDeregister(registration_);
        DestroyWindow(window_);
        CoTaskMemFree(desktop_);
    }

    bool Registered() const { return registration_ != 0; }

    // The events since the last call, as "<event> <path>".
    std::vector<std::string> Take()
    {
        MSG message;
        while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        std::vector<std::string> taken;
        taken.swap(events_);
        return taken;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ShellEvents*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message != kNotifyMessage || self == nullptr)
            return DefWindowProcA(window, message, wParam, lParam);
        const auto* items = reinterpret_cast<LPCITEMIDLIST*>(wParam);
        char path[MAX_PATH] = "";
        SHGetPathFromIDListA(items[0], path);
        const char* name = "other";
        switch (lParam) {
        case SHCNE_CREATE: name = "create"; break;
        case SHCNE_UPDATEITEM: name = "update"; break;
        case SHCNE_DELETE: name = "delete"; break;
        case SHCNE_MKDIR: name = "mkdir"; break;
        case SHCNE_RMDIR: name = "rmdir"; break;
        }
        self->events_.push_back(std::string(name) + " " + path);
        return 0;
    }

    HWND window_ = nullptr;
    LPITEMIDLIST desktop_ = nullptr;
    ULONG registration_ = 0;
    std::vector<std::string> events_;
};

void SetFolderValue(HKEY root, const char* name, DWORD type, const std::string& value)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void MakeTarget()
{
    CreateDirectoryA("C:\\shelltest", nullptr);
    CreateDirectoryA("C:\\shelltest\\app", nullptr);
    CloseHandle(CreateFileA(kTarget, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

struct LinkFields
{
    std::string path, workingDir, arguments, iconFile;
    int iconNumber = -1;
};

// The shortcut file read back through the ANSI shell link interface.
LinkFields ReadLink(const std::string& file)
{
    LinkFields fields;
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char text[MAX_PATH];
        if (link->GetPath(text, sizeof(text), nullptr, 0) == S_OK)
            fields.path = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof(text))))
            fields.workingDir = text;
        if (SUCCEEDED(link->GetArguments(text, sizeof(text))))
            fields.arguments = text;
        if (SUCCEEDED(link->GetIconLocation(text, sizeof(text), &fields.iconNumber)))
            fields.iconFile = text;
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
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(Shortcuts, CreateInSubFoldersUpdateAndDelete)
{
    // The user's Programs folder as an expandable value of a folder of our own.
    const std::string programs = "C:\\shelltest\\Programs";
    MakeTarget();
    CreateDirectoryA(programs.c_str(), nullptr);
    SetFolderValue(HKEY_CURRENT_USER, "Programs", REG_EXPAND_SZ, "%SystemDrive%\\shelltest\\Programs");
    testsupport::ScopedScript script(testsupport::OpenScript("C:\\shelltest\\setup.inf", kScript));
    ASSERT_NE(INVALID_HANDLE_VALUE, script.get());
    ShellEvents events;
    ASSERT_TRUE(events.Registered());

    EXPECT_EQ(1, ProcessShortcutKeys(script.get(), "Install", 1));
    const std::string link = programs + "\\Vantor\\Tools\\Modem Test.lnk";
    const LinkFields fields = ReadLink(link);
    EXPECT_EQ(kTarget, fields.path);
    EXPECT_EQ("C:\\shelltest\\app", fields.workingDir);
    EXPECT_EQ("/P:COM3 /L:test.log", fields.arguments);
    EXPECT_EQ(kTarget, fields.iconFile);
    EXPECT_EQ(1, fields.iconNumber);
    EXPECT_TRUE(testsupport::FileExists(programs + "\\Lower.lnk")) << "codes in any case";
    EXPECT_FALSE(testsupport::FileExists(programs + "\\Skipped.lnk")) << "a line without target";
    EXPECT_FALSE(testsupport::FileExists("C:\\shelltest\\Outside.lnk")) << "a name that leaves the folder";
    EXPECT_EQ((std::vector<std::string>{"mkdir " + programs + "\\Vantor", "mkdir " + programs + "\\Vantor\\Tools",
                                        "create " + link, "create " + programs + "\\Lower.lnk"}),
              events.Take());

    EXPECT_EQ(1, CreateShortcut("UPRG", "Vantor\\Tools\\Modem Test", kTarget, "", "", 0, 0));
    EXPECT_EQ((std::vector<std::string>{"update " + link}), events.Take());
    EXPECT_EQ("", ReadLink(link).arguments);

    EXPECT_EQ(1, ProcessShortcutKeys(script.get(), "Remove", 1));
    EXPECT_FALSE(testsupport::FileExists(programs + "\\Vantor"));
    EXPECT_TRUE(testsupport::FileExists(programs)) << "the shell folder stays, though empty";
    EXPECT_EQ((std::vector<std::string>{"delete " + link, "rmdir " + programs + "\\Vantor\\Tools",
                                        "rmdir " + programs + "\\Vantor", "delete " + programs + "\\Lower.lnk"}),
              events.Take());
    EXPECT_EQ(1, DeleteShortcut("UPRG", "Vantor\\Tools\\Modem Test"));
    EXPECT_TRUE(events.Take().empty()) << "nothing to report for a missing shortcut";
    EXPECT_TRUE(testsupport::FileExists(programs));
}

TEST_F(Shortcuts, MachineWideFolderFallsBackToTheUsersOnWindows98)
{
    MakeTarget();
    char userDesktop[MAX_PATH], commonPrograms[MAX_PATH], resolved[MAX_PATH];
    ASSERT_EQ(1, ResolveShellFolder("UDSK", userDesktop));
    ASSERT_EQ(1, ResolveShellFolder("CPRG", commonPrograms));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kShellFolders, 0, KEY_ALL_ACCESS, &key));
    char value[MAX_PATH];
    DWORD size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Common Programs", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(value), &size));
    EXPECT_STREQ(value, commonPrograms) << "a machine-wide value is used when it exists";
    RegDeleteValueA(key, "Common Desktop");
    RegCloseKey(key);

    ASSERT_EQ(1, ResolveShellFolder("CDSK", resolved));
    EXPECT_STREQ(userDesktop, resolved);
    EXPECT_EQ(1, CreateShortcut("CDSK", "Modem Test", kTarget, "", "", 0, 0));
    EXPECT_EQ(kTarget, ReadLink(std::string(userDesktop) + "\\Modem Test.lnk").path);
    EXPECT_EQ(0, ResolveShellFolder("XDSK", resolved));
}

}  // namespace
