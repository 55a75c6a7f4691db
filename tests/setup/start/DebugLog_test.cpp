// The debug log seen from outside: debuglog_child.exe (built beside this
// program) is started
// with a "debug" option or a DEBUG variable, and the test reads what reached
// its standard output, its files and the debug pipe.
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {


const char kDir[] = "C:\\debug log";
const std::string kAll = "level 1 line\r\nlevel 2 line\r\nlevel 3 line\r\n";

std::string SystemText(DWORD code)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
                   nullptr);
    std::string result = text ? text : "";
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

// The two lines of a failed start of C:\missing-program.exe.
std::string FailedStart()
{
    return ".\\usystem(547) : xUtilStartProgram(): CreateProcess() failed\r\n"
           "Error number 2: " + SystemText(ERROR_FILE_NOT_FOUND) + "\r\n";
}

// Runs the child with `arguments`, its standard output going to a file;
// returns what it wrote there.
std::string RunChild(const std::string& arguments)
{
    const std::string outPath = std::string(kDir) + "\\stdout.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, out);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    std::string line = "\"" + testsupport::ModuleDir() + "\\debuglog_child.exe\" " + arguments;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, kDir, &startup, &process);
    CloseHandle(out);
    EXPECT_TRUE(started) << line;
    if (!started)
        return "";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000)) << line;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return testsupport::ReadFileBytes(outPath);
}

std::string FileText(const std::string& name)
{
    bool ok = false;
    std::string text = testsupport::ReadFileBytes(std::string(kDir) + "\\" + name, &ok);
    return ok ? text : "<missing " + name + ">";
}

class DebugLog : public testing::Test
{
protected:
    void SetUp() override { CreateDirectoryA(kDir, nullptr); }
    void TearDown() override { SetEnvironmentVariableA("DEBUG", nullptr); }
};

TEST_F(DebugLog, LevelTwoToAFileOnly)
{
    const std::string out = RunChild("/quiet /debug:2,\"" + std::string(kDir) + "\\two.log\"");
    EXPECT_EQ("level 1 line\r\nlevel 2 line\r\n" + FailedStart(), FileText("two.log"));
    EXPECT_EQ("", out) << "standard output stays off";
}

TEST_F(DebugLog, StandardOutputAndAFile)
{
    const std::string out = RunChild("/debug:stdout,both.log");
    EXPECT_EQ(kAll + FailedStart(), FileText("both.log"));
    EXPECT_EQ(kAll + FailedStart(), out);
}

TEST_F(DebugLog, QuotedFileNameWithABlankAndTheSinkLimit)
{
    CreateDirectoryA((std::string(kDir) + "\\sub dir").c_str(), nullptr);
    RunChild("-DEBUG:1,\"" + std::string(kDir) + "\\sub dir\\log file.txt\"");
    EXPECT_EQ("level 1 line\r\n" + FailedStart(), FileText("sub dir\\log file.txt"));

    std::string names;
    for (int i = 1; i <= 17; ++i)
        names += ",f" + std::to_string(i);
    RunChild("/debug:1" + names);
    EXPECT_EQ("level 1 line\r\n" + FailedStart(), FileText("f16"));
    EXPECT_FALSE(testsupport::FileExists(std::string(kDir) + "\\f17")) << "at most 16 sinks";
}

TEST_F(DebugLog, VariableOnlyWithoutTheOption)
{
    SetEnvironmentVariableA("DEBUG", "1,env.log");
    const std::string out = RunChild("/debug");
    EXPECT_EQ(kAll + FailedStart(), out) << "option without value: default sinks, level 3";
    EXPECT_FALSE(testsupport::FileExists(std::string(kDir) + "\\env.log"));

    RunChild("/quiet");
    EXPECT_EQ("level 1 line\r\n" + FailedStart(), FileText("env.log"));
}

TEST_F(DebugLog, LevelZeroWritesNothing)
{
    EXPECT_EQ("", RunChild("/debug:0"));
}

// On the NT family the default sinks include the pipe a debug viewer serves.
TEST_F(DebugLog, DefaultPipeReachesADebugViewer)
{
    HANDLE pipe = CreateNamedPipeA("\\\\.\\pipe\\debug", PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                   65536, 65536, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    const std::string out = RunChild("");
    EXPECT_EQ(kAll + FailedStart(), out);
    // The child has written and ended; what it sent waits in the pipe.
    std::string received;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buf, sizeof(buf), &got, nullptr) && got > 0)
        received.append(buf, got);
    CloseHandle(pipe);
    EXPECT_EQ(kAll + FailedStart(), received);
}

}  // namespace
