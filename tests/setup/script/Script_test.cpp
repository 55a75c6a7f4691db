// The script under Wine: the sections chosen for the Windows version Wine
// reports (each chosen section names itself in the registry when the Setup
// API performs it), and Exec entries starting the child program.
#include "Exec.h"
#include "ScriptFiles.h"
#include "ScriptSections.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using scripttest::ChildRuns;

const char kTestKey[] = "Software\\VantorScriptTest";

// A section with one line that writes `name` into the value `column` of the
// test key; or, with `empty`, a section without lines.
std::string Section(const std::string& column, const std::string& name, bool empty = false)
{
    if (empty)
        return "[" + name + "]\r\n\r\n";
    return "[" + name + "]\r\nAddReg=Reg." + name + "\r\n[Reg." + name + "]\r\nHKCU,\"" + kTestKey + "\"," + column +
           ",," + name + "\r\n\r\n";
}

std::string RegistryValue(const char* name)
{
    char value[64] = "";
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, kTestKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "(none)";
    return value;
}

TEST(SectionChoice, ChosenForTheRunningWindowsVersion)
{
    struct Expected { const char* winver; const char* install; const char* remove; const char* products; };
    const Expected table[] = {
        {"win95", "Install.Win", "Remove.Win", "Products"},
        {"win98", "Install.WinMe", "Remove.Win98", "Products"},   // 4.10 counts as Me
        {"nt40", "Install", "Remove", "Products.NTx86"},
        {"win2k", "Install.NT5", "Remove.NT5", "Products.NTx86"},
        {"winxp", "Install.XP", "Remove.NT5", "Products.NTx86"},  // Remove.XP has no lines
        {"vista", "Install.NT5", "Remove.NT5", "Products.NTx86"},  // 6.0 is not XP
        {"win10", "Install.XP", "Remove.NT5", "Products.NTx86"},   // 6.2 without a manifest entry
    };
    const std::string winver = testsupport::Env("WINETEST_WINVER");
    const Expected* expected = nullptr;
    for (const Expected& e : table)
        expected = winver == e.winver ? &e : expected;
    ASSERT_NE(nullptr, expected) << "no expectation for WINETEST_WINVER=" << winver;

    const std::string body = Section("Install", "Install.XP") + Section("Install", "Install.NT5") +
                             Section("Install", "Install.WinMe") + Section("Install", "Install.Win") +
                             Section("Install", "Install") + Section("Remove", "Remove.XP", true) +
                             Section("Remove", "Remove.NT5") + Section("Remove", "Remove.Win98") +
                             Section("Remove", "Remove.Win") + Section("Remove", "Remove") +
                             Section("Products", "Products.NTx86") + Section("Products", "Products.NT") +
                             Section("Products", "Products");
    HINF script = scripttest::OpenScript(body);
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    ScriptSections sections = {};
    ASSERT_EQ(1, ChooseSections(script, &sections));
    for (const char* name : {sections.install, sections.remove, sections.products}) {
        EXPECT_TRUE(SetupInstallFromInfSectionA(nullptr, script, name, SPINST_REGISTRY, nullptr, nullptr, 0, nullptr,
                                                nullptr, nullptr, nullptr))
            << name << ": " << GetLastError();
    }
    SetupCloseInfFile(script);
    EXPECT_EQ(expected->install, RegistryValue("Install"));
    EXPECT_EQ(expected->remove, RegistryValue("Remove"));
    EXPECT_EQ(expected->products, RegistryValue("Products"));
}

class Exec : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string dir = scripttest::Dir();
        child_ = dir + "\\child.exe";
        ASSERT_TRUE(scripttest::CopyChild(child_));
        ASSERT_TRUE(scripttest::CopyChild(dir + "\\doomed.exe"));
        ASSERT_TRUE(scripttest::CopyChild(dir + "\\slow.exe"));
        scripttest::ClearChildRuns();
        ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
        const std::string body =
            "[Install]\r\nExec = \"@" + child_ + "\", Exec.Main, Exec.Missing\r\n\r\n"
            "[Exec.Main]\r\n"
            "1, \"" + child_ + "\", level1\r\n"
            "0x2, \"" + child_ + "\", \"%HWND% /x\"\r\n"
            "2, C:\\nowhere\\missing.exe, never\r\n"
            "02, \"" + child_ + "\", \"octal two\", C:\\windows\r\n"
            "010, \"" + child_ + "\", level8\r\n"
            "2, \"" + dir + "\\doomed.exe\", doomed, , 2\r\n\r\n"
            "[Install.NoWait]\r\nExec = Exec.NoWait\r\n\r\n"
            "[Exec.NoWait]\r\n3, \"" + dir + "\\slow.exe\", \"sleep 1500\", , 3\r\n";
        script_ = scripttest::OpenScript(body);
        ASSERT_NE(INVALID_HANDLE_VALUE, script_);
    }
    void TearDown() override { SetupCloseInfFile(script_); }

    std::string child_;
    HINF script_ = INVALID_HANDLE_VALUE;
};

const HWND kWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xABC12));

TEST_F(Exec, LevelsPlaceholderWorkingDirectoryAndDeletion)
{
    ASSERT_EQ(1, RunExec(script_, "Install", 2, kWindow));
    EXPECT_FALSE(testsupport::FileExists(scripttest::Dir() + "\\doomed.exe")) << "deleted after it ended";
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(current), current);
    EXPECT_STREQ("C:\\", current);

    // Every run has ended (and reported) before RunExec returned.
    const std::vector<scripttest::ChildRun> runs = ChildRuns();
    ASSERT_EQ(4u, runs.size());
    EXPECT_EQ(child_, runs[0].program);           // "@program": no arguments, waited for
    EXPECT_EQ("", runs[0].arguments);
    EXPECT_EQ("0x000abc12 /x", runs[1].arguments);  // level 0x2
    EXPECT_EQ("octal two", runs[2].arguments);      // level 02, after the missing program
    EXPECT_EQ("C:\\windows", runs[2].directory);
    EXPECT_EQ(scripttest::Dir() + "\\doomed.exe", runs[3].program);

    scripttest::ClearChildRuns();
    ASSERT_EQ(1, RunExec(script_, "Install", 8, kWindow));
    ASSERT_EQ(2u, ChildRuns().size());
    EXPECT_EQ("level8", ChildRuns()[1].arguments);  // level 010
}

TEST_F(Exec, FlagsThreeNeverWaits)
{
    const DWORD start = testsupport::PreciseMs();
    ASSERT_EQ(1, RunExec(script_, "Install.NoWait", 3, kWindow));
    const DWORD elapsed = testsupport::PreciseMsSince(start);
    EXPECT_LT(elapsed, 1000u) << "the program sleeps 1500 ms";
    EXPECT_TRUE(ChildRuns().empty());
    EXPECT_TRUE(testsupport::FileExists(scripttest::Dir() + "\\slow.exe"));
    // Let the program end inside the test.
    for (int i = 0; i < 200 && ChildRuns().empty(); ++i)
        Sleep(50);
    ASSERT_EQ(1u, ChildRuns().size());
    EXPECT_EQ("sleep 1500", ChildRuns()[0].arguments);
    Sleep(200);
    EXPECT_TRUE(testsupport::FileExists(scripttest::Dir() + "\\slow.exe"));
}

}  // namespace
