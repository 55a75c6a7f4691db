// The script under Wine: the sections chosen for the Windows version Wine
// reports (each chosen section names itself in the registry when the Setup
// API performs it), and Exec entries starting the child program.
#include "Exec.h"
#include "ScriptFiles.h"
#include "ScriptSections.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using scripttest::ChildRuns;

// A section whose line writes its own name into the value `column`; an empty
// section without `column`.
std::string Section(const std::string& name, const std::string& column = "")
{
    if (column.empty())
        return "[" + name + "]\r\n";
    return "[" + name + "]\r\nAddReg=Reg." + name + "\r\n[Reg." + name + "]\r\nHKCU,Software\\VantorScriptTest," +
           column + ",," + name + "\r\n";
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

    std::string body = Section("Remove.XP");
    for (const char* name : {"Install.XP", "Install.NT5", "Install.WinMe", "Install.Win", "Install"})
        body += Section(name, "Install");
    for (const char* name : {"Remove.NT5", "Remove.Win98", "Remove.Win", "Remove"})
        body += Section(name, "Remove");
    for (const char* name : {"Products.NTx86", "Products.NT", "Products"})
        body += Section(name, "Products");
    HINF script = scripttest::OpenScript(body);
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    ScriptSections sections = {};
    ASSERT_EQ(1, ChooseSections(script, &sections));
    for (const char* name : {sections.install, sections.remove, sections.products}) {
        EXPECT_TRUE(SetupInstallFromInfSectionA(nullptr, script, name, SPINST_REGISTRY, nullptr, nullptr, 0, nullptr,
                                                nullptr, nullptr, nullptr)) << name;
    }
    SetupCloseInfFile(script);
    const char* columns[] = {"Install", "Remove", "Products"};
    const char* names[] = {expected->install, expected->remove, expected->products};
    for (int i = 0; i < 3; ++i) {
        char value[64] = "";
        DWORD size = sizeof(value);
        RegGetValueA(HKEY_CURRENT_USER, "Software\\VantorScriptTest", columns[i], RRF_RT_REG_SZ, nullptr, value, &size);
        EXPECT_STREQ(names[i], value);
    }
}

class Exec : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"child.exe", "doomed.exe", "slow.exe"})
            ASSERT_TRUE(scripttest::CopyChild(dir_ + name));
        scripttest::ClearChildRuns();
        ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
        const std::string child = "\"" + dir_ + "child.exe\"";
        script_ = scripttest::OpenScript(
            "[Install]\r\nExec = \"@" + dir_ + "child.exe\", Exec.Main, Exec.Missing\r\n"
            "[Exec.Main]\r\n1, " + child + ", level1\r\n0x2, " + child + ", \"%HWND% /x\"\r\n"
            "2, C:\\nowhere\\missing.exe, never\r\n02, " + child + ", \"octal two\", C:\\windows\r\n"
            "010, " + child + ", level8\r\n2, \"" + dir_ + "doomed.exe\", doomed, , 2\r\n"
            "[Install.NoWait]\r\nExec = Exec.NoWait\r\n"
            "[Exec.NoWait]\r\n3, \"" + dir_ + "slow.exe\", \"sleep 1500\", , 3\r\n");
        ASSERT_NE(INVALID_HANDLE_VALUE, script_);
    }
    void TearDown() override { SetupCloseInfFile(script_); }

    const std::string dir_ = scripttest::Dir() + "\\";
    const HWND window_ = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xABC12));
    HINF script_ = INVALID_HANDLE_VALUE;
};

TEST_F(Exec, LevelsPlaceholderWorkingDirectoryAndDeletion)
{
    ASSERT_EQ(1, RunExec(script_, "Install", 2, window_));
    EXPECT_FALSE(testsupport::FileExists(dir_ + "doomed.exe")) << "deleted after it ended";
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(current), current);
    EXPECT_STREQ("C:\\", current);
    // Every program has ended (and reported) before RunExec returned.
    const std::vector<scripttest::ChildRun> runs = ChildRuns();
    ASSERT_EQ(4u, runs.size());
    EXPECT_EQ(dir_ + "child.exe|", runs[0].program + "|" + runs[0].arguments);  // "@program", no arguments
    EXPECT_EQ("0x000abc12 /x", runs[1].arguments);                              // level 0x2
    EXPECT_EQ("octal two|C:\\windows", runs[2].arguments + "|" + runs[2].directory);  // 02, after the missing one
    EXPECT_EQ(dir_ + "doomed.exe", runs[3].program);

    scripttest::ClearChildRuns();
    ASSERT_EQ(1, RunExec(script_, "Install", 8, window_));
    ASSERT_EQ(2u, ChildRuns().size());
    EXPECT_EQ("level8", ChildRuns()[1].arguments);  // level 010
}

TEST_F(Exec, FlagsThreeNeverWaits)
{
    const DWORD start = testsupport::PreciseMs();
    ASSERT_EQ(1, RunExec(script_, "Install.NoWait", 3, window_));
    // The program sleeps 1500 ms: a wait for it could not end sooner (a
    // loaded machine can take most of a second to start it).
    EXPECT_LT(testsupport::PreciseMsSince(start), 1500u) << "waited for the program";
    EXPECT_TRUE(ChildRuns().empty());
    uidriver::WaitFor([] { return !ChildRuns().empty(); }, 10000);  // let it end inside the test
    ASSERT_EQ(1u, ChildRuns().size());
    Sleep(200);
    EXPECT_TRUE(testsupport::FileExists(dir_ + "slow.exe")) << "never deleted";
}

}  // namespace
