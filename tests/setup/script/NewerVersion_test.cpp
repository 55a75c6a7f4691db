// The question before replacing a newer installed version: ProductVer of the
// install section (literal or a file's product version) against the
// ProductVersion value of the uninstall key, whatever its registry type. The
// real message box is answered from outside through the UI driver.
#include "MessageBoxes.h"
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

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantorTest";

struct Box
{
    std::string text, caption;
    UINT type;
};
std::vector<Box> g_boxes;

int RecordBox(HWND, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back({text, caption, type});
    return IDNO;
}

std::string LoadText(UINT id)
{
    char text[1024] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof(text));
    return text;
}

// The question as the program words it for `displayName`.
std::string Question(const std::string& displayName)
{
    std::string text = LoadText(IDS_NEWER_VERSION_INSTALLED);
    return text.replace(text.find("%s"), 2, displayName);
}

void SetInstalled(DWORD type, const std::string& data)
{
    if (type == REG_NONE) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        return;
    }
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "ProductVersion", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

class NewerVersion : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string dir = scripttest::Dir();
        CreateDirectoryA((dir + "\\files").c_str(), nullptr);
        CreateDirectoryA((dir + "\\files\\files").c_str(), nullptr);
        ASSERT_TRUE(scripttest::CopyChild(dir + "\\files\\files\\loose.exe"));   // product version 2.5.0.17
        ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
        script_ = scripttest::OpenScript(
            "[SourceDisksNames]\r\n1 = \"Disk\",,,files\r\n[SourceDisksFiles]\r\nloose.exe = 1, files\r\n\r\n"
            "[Install]\r\nProductVer = @loose.exe\r\nUninstall = VantorTest, \"Vantor Test Suite\"\r\n"
            "[Install.NoName]\r\nProductVer = 2.0\r\nUninstall = VantorTest\r\n"
            "[Install.Missing]\r\nProductVer = @missing.exe\r\nUninstall = VantorTest\r\n"
            "[Install.NoKey]\r\nProductVer = 1.0\r\n");
        ASSERT_NE(INVALID_HANDLE_VALUE, script_);
        g_boxes.clear();
    }
    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        SetupCloseInfFile(script_);
    }

    HINF script_ = INVALID_HANDLE_VALUE;
};

TEST_F(NewerVersion, QuestionAnsweredThroughTheUiDriver)
{
    SetInstalled(REG_SZ, std::string("3.0", 4));
    for (const int answer : {IDNO, IDYES}) {
        std::string caption, text;
        bool noIsDefault = false, pressed = false;
        std::thread user([&] {
            HWND box = uidriver::WaitForDialog(GetCurrentProcessId(), 20000);
            if (box == nullptr)
                return;
            caption = uidriver::Text(box);
            text = uidriver::DialogText(box);
            noIsDefault = (GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
            pressed = uidriver::PressDialogButton(box, answer);
        });
        const int result = NewerVersionCheck(script_, GetModuleHandleA(nullptr), nullptr, "Install");
        user.join();
        ASSERT_TRUE(pressed) << "no question appeared";
        EXPECT_EQ(answer == IDYES ? 1 : 0, result);
        EXPECT_EQ(LoadText(IDS_PRODUCT_TITLE), caption);
        EXPECT_EQ(Question("Vantor Test Suite"), text);
        EXPECT_TRUE(noIsDefault);
    }
}

TEST_F(NewerVersion, AskedOnlyWhenTheInstalledVersionIsNewer)
{
    SetMessageBoxHook(RecordBox);
    struct Case { DWORD type; std::string installed; const char* section; bool asked; };
    const Case cases[] = {
        {REG_SZ, std::string("3.0", 4), "Install.NoName", true},
        {REG_BINARY, "2.5.0.17", "Install", false},              // equal, read whatever the type
        {REG_EXPAND_SZ, std::string("2.5.1", 6), "Install", true},
        {REG_SZ, std::string("2.5.0.16.9", 11), "Install", false},
        {REG_SZ, std::string("3.0", 4), "Install.Missing", false},  // the reference gives no version
        {REG_SZ, std::string("3.0", 4), "Install.NoKey", false},
        {REG_NONE, "", "Install", false},                          // nothing installed
    };
    for (const Case& c : cases) {
        SetInstalled(c.type, c.installed);
        g_boxes.clear();
        const int result = NewerVersionCheck(script_, GetModuleHandleA(nullptr), nullptr, c.section);
        EXPECT_EQ(c.asked ? 1u : 0u, g_boxes.size()) << c.section << " against " << c.installed;
        EXPECT_EQ(c.asked ? 0 : 1, result) << "No ends the run";
    }
    SetInstalled(REG_SZ, std::string("3.0", 4));
    g_boxes.clear();
    NewerVersionCheck(script_, GetModuleHandleA(nullptr), nullptr, "Install.NoName");
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(Question("?"), g_boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING), g_boxes[0].type);
}

}  // namespace
