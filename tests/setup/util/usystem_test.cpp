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

const char kChild[] = "C:\\util test\\util child.exe";
const char kReport[] = "C:\\util test\\report.txt";
const std::string kPrefix = ".\\usystem(";

std::vector<std::string> g_traces;

// A child that was not waited for may still be ending (its program file in
// use) when the next case starts: wait until the file can be replaced.
bool CopyWhenFree(const char* from, const char* to)
{
    for (int i = 0; i < 100; ++i) {
        if (CopyFileA(from, to, FALSE))
            return true;
        Sleep(100);
    }
    return false;
}

int CaptureTrace(const char* text)
{
    g_traces.push_back(text);
    return 0;
}

class StartProgram : public testing::Test
{
protected:
    void SetUp() override
    {
        CreateDirectoryA("C:\\util test", nullptr);
        ASSERT_TRUE(CopyWhenFree((testsupport::ModuleDir() + "\\util_child.exe").c_str(), kChild));
        DeleteFileA(kReport);
        SetEnvironmentVariableA("UTIL_CHILD_REPORT", kReport);
        ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
        g_traces.clear();
        DebugSetTraceHook(CaptureTrace);
    }
    void TearDown() override { DebugSetTraceHook(nullptr); }
};

TEST_F(StartProgram, QuotingWorkingDirectoryAndExitCode)
{
    // `dir` is the folder the child reports, `traced` the one the trace names.
    struct Case {
        const char* path; const char* args; unsigned flags; DWORD code;
        const char* commandLine; const char* dir; const char* traced;
    };
    const Case cases[] = {
        {kChild, "exit 7 \"two words\"", kStartWaitForExit, 7,
         "\"C:\\util test\\util child.exe\" exit 7 \"two words\"", "C:\\util test", "C:\\util test"},
        {"\"C:\\util test\\util child.exe\"", "exit 3", kStartWaitForExit | kStartWaitForIdle, 3,
         "\"C:\\util test\\util child.exe\" exit 3", "C:\\util test", "C:\\util test"},
        // A name without a folder is the system folder's, started there.
        {"util_sys.exe", "exit 0", kStartWaitForExit, 0, "C:\\windows\\system32\\util_sys.exe exit 0",
         "C:\\windows\\system32", "C:\\windows\\system32"},
    };
    ASSERT_TRUE(CopyWhenFree(kChild, "C:\\windows\\system32\\util_sys.exe"));
    for (const Case& c : cases) {
        g_traces.clear();
        DWORD code = 99;
        ASSERT_EQ(1, xUtilStartProgram(c.path, c.args, c.flags, &code)) << c.path;
        EXPECT_EQ(c.code, code);
        // The child writes its report just before it ends: the call has waited.
        EXPECT_EQ(std::string(c.commandLine) + "\n" + c.dir + "\n", testsupport::ReadFileBytes(kReport));
        ASSERT_EQ(4u, g_traces.size());
        EXPECT_EQ(kPrefix + "475) : xUtilStartProgram(): entering\n", g_traces[0]);
        EXPECT_EQ(kPrefix + "508) : xUtilStartProgram(): calling CreateProcess() ...\nCommandLine: " +
                      c.commandLine + "\nWorkingDir: " + c.traced + "\n", g_traces[1]);
        EXPECT_EQ(kPrefix + "522) : xUtilStartProgram(): CreateProcess() successfull, waiting for process to exit ...\n",
                  g_traces[2]);
        EXPECT_EQ(kPrefix + "525) : xUtilStartProgram(): process finished with exit code " + std::to_string(code) + "\n",
                  g_traces[3]);
    }
}

// A name without a folder never comes from the program's folder or the
// current one: util_child.exe lies beside this program and in the current
// folder, but not in the system folder.
TEST_F(StartProgram, NameWithoutAFolderNeverFromTheProgramsFolder)
{
    ASSERT_TRUE(SetCurrentDirectoryA(testsupport::ModuleDir().c_str()));
    SetLastError(0xdeadbeef);
    DWORD code = 99;
    EXPECT_EQ(0, xUtilStartProgram("util_child.exe", "exit 0", kStartWaitForExit, &code));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(testsupport::FileExists(kReport));
    char path[MAX_PATH] = "";
    ASSERT_EQ(1, xUtilProgramPath("\"notepad\"", path, sizeof(path)));
    EXPECT_STREQ("C:\\windows\\system32\\notepad.exe", path) << "\".exe\" added where the name has none";
    ASSERT_EQ(1, xUtilProgramPath("D:\\x y\\tool", path, sizeof(path)));
    EXPECT_STREQ("D:\\x y\\tool", path) << "a path is used as it is";
    EXPECT_EQ(0, xUtilProgramPath(std::string(300, 'x').c_str(), path, sizeof(path)));
}

TEST_F(StartProgram, NoWaitReturnsAtOnce)
{
    ASSERT_EQ(1, xUtilStartProgram(kChild, "exit 0", 0, nullptr));
    EXPECT_FALSE(testsupport::FileExists(kReport)) << "returned only after the child's 300 ms";
    EXPECT_EQ(kPrefix + "537) : xUtilStartProgram(): CreateProcess() successfull\n", g_traces.back());
    for (int i = 0; i < 100 && !testsupport::FileExists(kReport); ++i)
        Sleep(100);
}

TEST_F(StartProgram, IdleWaitEndsWhenTheChildWaitsForInput)
{
    const char idleChild[] = "C:\\util test\\idle child.exe";  // outlives the test case
    ASSERT_TRUE(CopyWhenFree(kChild, idleChild));
    const DWORD start = GetTickCount();
    ASSERT_EQ(1, xUtilStartProgram(idleChild, "idle", kStartWaitForIdle, nullptr));
    EXPECT_TRUE(testsupport::FileExists(kReport)) << "returned before the child's first idle moment";
    EXPECT_EQ(kPrefix + "532) : xUtilStartProgram(): CreateProcess() successfull, waiting for process to become idle ...\n",
              g_traces.back());
    EXPECT_LT(GetTickCount() - start, 9000u) << "the 10 s limit ended the wait, not the child";
    HWND window = nullptr;
    for (int i = 0; i < 100 && (window = FindWindowA("UtilChildIdle", nullptr)) == nullptr; ++i)
        Sleep(100);
    ASSERT_NE(nullptr, window) << "the idle child never showed its window";
    PostMessageA(window, WM_CLOSE, 0, 0);
    // Nothing may outlive the run: wait until the child has really ended.
    bool ended = false;
    for (int i = 0; i < 100 && !(ended = DeleteFileA(idleChild) != 0); ++i)
        Sleep(100);
    EXPECT_TRUE(ended) << "the idle child did not end after WM_CLOSE";
}

TEST_F(StartProgram, MissingProgramFailsWithTheSystemsError)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, xUtilStartProgram("C:\\util test\\missing.exe", nullptr, kStartWaitForExit, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
