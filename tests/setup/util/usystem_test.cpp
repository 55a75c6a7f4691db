// xUtilStartProgram starting util_child.exe (built beside this program) for
// real: the command line and working directory the child sees, waiting for
// its exit or its first idle moment, and the traces of a run.
#include "DebugLog.h"
#include "WinTestSupport.h"
#include "usystem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kDir[] = "C:\\util test";
const char kChild[] = "C:\\util test\\util child.exe";
const char kReport[] = "C:\\util test\\report.txt";

std::vector<std::string> g_traces;

int CaptureTrace(const char* text)
{
    g_traces.push_back(text);
    return 0;
}

std::string Report()
{
    bool ok = false;
    std::string text = testsupport::ReadFileBytes(kReport, &ok);
    return ok ? text : "<no report>";
}

class StartProgram : public testing::Test
{
protected:
    void SetUp() override
    {
        CreateDirectoryA(kDir, nullptr);
        ASSERT_TRUE(CopyFileA((testsupport::ModuleDir() + "\\util_child.exe").c_str(), kChild, FALSE));
        DeleteFileA(kReport);
        SetEnvironmentVariableA("UTIL_CHILD_REPORT", kReport);
    }
    void TearDown() override { DebugSetTraceHook(nullptr); }
};

TEST_F(StartProgram, BlankInPathIsQuotedAndItsFolderIsTheWorkingDirectory)
{
    g_traces.clear();
    DebugSetTraceHook(CaptureTrace);
    DWORD code = 0;
    ASSERT_EQ(1, xUtilStartProgram(kChild, "exit 7 \"two words\"", kStartWaitForExit, &code));
    EXPECT_EQ(7u, code);
    // Written by the child just before it ended, so the call has waited.
    EXPECT_EQ("\"C:\\util test\\util child.exe\" exit 7 \"two words\"\nC:\\util test\n", Report());
    const std::vector<std::string> expected = {
        ".\\usystem(475) : xUtilStartProgram(): entering\n",
        ".\\usystem(508) : xUtilStartProgram(): calling CreateProcess() ...\n"
        "CommandLine: \"C:\\util test\\util child.exe\" exit 7 \"two words\"\nWorkingDir: C:\\util test\n",
        ".\\usystem(522) : xUtilStartProgram(): CreateProcess() successfull, waiting for process to exit ...\n",
        ".\\usystem(525) : xUtilStartProgram(): process finished with exit code 7\n",
    };
    EXPECT_EQ(expected, g_traces);
}

TEST_F(StartProgram, QuotedPathIsUsedUnchangedAndExitWaitWinsOverIdle)
{
    DWORD code = 0;
    ASSERT_EQ(1, xUtilStartProgram("\"C:\\util test\\util child.exe\"", "exit 3",
                                   kStartWaitForExit | kStartWaitForIdle, &code));
    EXPECT_EQ(3u, code);
    EXPECT_EQ("\"C:\\util test\\util child.exe\" exit 3\nC:\\util test\n", Report());
}

TEST_F(StartProgram, PathWithoutFolderKeepsTheCallersDirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    ASSERT_EQ(1, xUtilStartProgram("util_child.exe", "exit 0", kStartWaitForExit, nullptr));
    EXPECT_EQ("util_child.exe exit 0\nC:\\\n", Report());
}

TEST_F(StartProgram, NoWaitReturnsAtOnce)
{
    ASSERT_EQ(1, xUtilStartProgram(kChild, "exit 0", 0, nullptr));
    EXPECT_FALSE(testsupport::FileExists(kReport)) << "returned only after the child's 300 ms";
    for (int i = 0; i < 100 && !testsupport::FileExists(kReport); ++i)
        Sleep(100);
    EXPECT_TRUE(testsupport::FileExists(kReport));
}

TEST_F(StartProgram, IdleWaitEndsWhenTheChildWaitsForInput)
{
    const DWORD start = GetTickCount();
    // A copy of its own: this child outlives the test case.
    const char idleChild[] = "C:\\util test\\idle child.exe";
    ASSERT_TRUE(CopyFileA(kChild, idleChild, FALSE));
    ASSERT_EQ(1, xUtilStartProgram(idleChild, "idle", kStartWaitForIdle, nullptr));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_TRUE(testsupport::FileExists(kReport)) << "returned before the child's message loop";
    EXPECT_LT(elapsed, 9000u) << "the 10 s limit ended the wait, not the child";
    HWND window = nullptr;
    for (int i = 0; i < 50 && window == nullptr; ++i) {
        window = FindWindowA("UtilChildIdle", nullptr);
        if (window == nullptr)
            Sleep(100);
    }
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

TEST_F(StartProgram, MissingProgramFailsWithTheSystemsError)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, xUtilStartProgram("C:\\util test\\missing.exe", nullptr, kStartWaitForExit, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
