// The question before replacing a newer installed version: ProductVer
// (literal or a file's product version) against the ProductVersion value of
// the uninstall key, whatever its registry type. The real box is answered
// from outside through the UI driver.
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "ScriptFiles.h"
#include "UiDriver.h"
#include "Versions.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> g_boxes;  // "caption|text|type"
int g_answer = IDNO;

int RecordBox(HWND, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
    return g_answer;
}

std::string LoadText(UINT id)
{
    char text[1024] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof(text));
    return text;
}

std::string Question(const std::string& displayName)
{
    std::string text = LoadText(IDS_NEWER_VERSION_INSTALLED);
    return text.replace(text.find("%s"), 2, displayName);
}

// Installs `data` (with its terminator) as ProductVersion of type `type`;
// REG_NONE removes the key.
void SetInstalled(DWORD type, const std::string& data)
{
    const char* path = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantorTest";
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    HKEY key = nullptr;
    if (type == REG_NONE || RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                            nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "ProductVersion", 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

HINF OpenVersionScript()
{
    const std::string dir = scripttest::Dir();
    CreateDirectoryA((dir + "\\files").c_str(), nullptr);
    CreateDirectoryA((dir + "\\files\\files").c_str(), nullptr);
    scripttest::CopyChild(dir + "\\files\\files\\loose.exe");   // product version 2.5.0.17
    SetMediumFolder(dir + "\\");
    return scripttest::OpenScript(
        "[SourceDisksNames]\r\n1 = \"Disk\",,,files\r\n[SourceDisksFiles]\r\nloose.exe = 1, files\r\n"
        "[Install]\r\nProductVer = @loose.exe\r\nUninstall = VantorTest, \"Vantor Test Suite\"\r\n"
        "[Install.NoName]\r\nProductVer = 2.0\r\nUninstall = VantorTest\r\n"
        "[Install.Missing]\r\nProductVer = @missing.exe\r\nUninstall = VantorTest\r\n"
        "[Install.NoKey]\r\nProductVer = 1.0\r\n");
}

TEST(NewerVersion, QuestionAnsweredThroughTheUiDriver)
{
    HINF script = OpenVersionScript();
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    SetInstalled(REG_SZ, "3.0");
    std::string caption, text;
    bool noIsDefault = false, pressed = false;
    std::thread user([&] {
        if (HWND box = uidriver::WaitForDialog(GetCurrentProcessId(), 20000)) {
            caption = uidriver::Text(box);
            text = uidriver::DialogText(box);
            noIsDefault = (GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
            pressed = uidriver::PressDialogButton(box, IDNO);
        }
    });
    EXPECT_EQ(0, NewerVersionCheck(script, GetModuleHandleA(nullptr), nullptr, "Install")) << "No ends the run";
    user.join();
    ASSERT_TRUE(pressed) << "no question appeared";
    EXPECT_EQ(LoadText(IDS_PRODUCT_TITLE), caption);
    EXPECT_EQ(Question("Vantor Test Suite"), text);
    EXPECT_TRUE(noIsDefault);
    SetupCloseInfFile(script);
}

TEST(NewerVersion, AskedOnlyWhenTheInstalledVersionIsNewer)
{
    HINF script = OpenVersionScript();
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    SetMessageBoxHook(RecordBox);
    struct Case { DWORD type; const char* installed; const char* section; int answer; int result; };
    // 128 bytes with the terminator are read; a longer value is unreadable
    // (not installed), never cut to a version that would count as newer.
    std::string longest = "3", tooLong = "3";
    while (longest.size() < 127)
        longest += ".0";
    while (tooLong.size() < 129)
        tooLong += ".0";
    const Case cases[] = {
        {REG_SZ, longest.c_str(), "Install.NoName", IDNO, 0},
        {REG_SZ, tooLong.c_str(), "Install.NoName", IDNO, 1},
        {REG_EXPAND_SZ, "2.5.1", "Install", IDYES, 1},        // asked, Yes goes on
        {REG_SZ, "3.0", "Install.NoName", IDNO, 0},
        {REG_BINARY, "2.5.0.17", "Install", IDNO, 1},         // equal, whatever the type
        {REG_SZ, "2.5.0.16.9", "Install", IDNO, 1},
        {REG_SZ, "3.0", "Install.Missing", IDNO, 1},          // the reference gives no version
        {REG_SZ, "3.0", "Install.NoKey", IDNO, 1},
        {REG_NONE, "", "Install", IDNO, 1},                   // nothing installed
    };
    for (const Case& c : cases) {
        SetInstalled(c.type, c.installed);
        g_answer = c.answer;
        EXPECT_EQ(c.result, NewerVersionCheck(script, GetModuleHandleA(nullptr), nullptr, c.section))
            << c.section << " against " << c.installed;
    }
    const std::string start = LoadText(IDS_PRODUCT_TITLE) + "|";
    const std::string type = "|" + std::to_string(MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING);
    EXPECT_EQ((std::vector<std::string>{start + Question("?") + type, start + Question("Vantor Test Suite") + type,
                                        start + Question("?") + type}),
              g_boxes);
    SetMessageBoxHook(nullptr);
    SetupCloseInfFile(script);
}

}  // namespace
