// The debug log seen from outside: debuglog_child.exe (built beside this
// program) is started with a "debug" option or a DEBUG variable, and the test
// reads what reached its files, its standard output and the debug pipe.
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const std::string kDir = "C:\\debug log";
const std::string kAll = "level 1 line\r\nlevel 2 line\r\nlevel 3 line\r\n";

// The two lines the child's failed start of C:\missing-program.exe writes.
std::string FailedStart()
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
    std::string system = text ? text : "";
    LocalFree(text);
    system.erase(system.find_last_not_of("\r\n") + 1);
    return ".\\usystem(547) : xUtilStartProgram(): CreateProcess() failed\r\nError number 2: " + system + "\r\n";
}

// Runs the child with `arguments` in kDir; returns its standard output.
std::string RunChild(const std::string& arguments)
{
    const std::string outPath = kDir + "\\stdout.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out;
    std::string line = "\"" + testsupport::ModuleDir() + "\\debuglog_child.exe\" " + arguments;
    PROCESS_INFORMATION process = {};
    const BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, kDir.c_str(), &startup, &process);
    CloseHandle(out);
    EXPECT_TRUE(started) << line;
    if (started) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000)) << line;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return testsupport::ReadFileBytes(outPath);
}

std::string FileText(const std::string& name)
{
    bool ok = false;
    std::string text = testsupport::ReadFileBytes(kDir + "\\" + name, &ok);
    return ok ? text : "<missing " + name + ">";
}

class DebugLog : public testing::Test
{
protected:
    void SetUp() override { CreateDirectoryA(kDir.c_str(), nullptr); }
    void TearDown() override { SetEnvironmentVariableA("DEBUG", nullptr); }
};

TEST_F(DebugLog, LevelTwoToAQuotedFileNameWithABlank)
{
    const std::string out = RunChild("/quiet /debug:2,\"" + kDir + "\\two words.log\"");
    EXPECT_EQ("level 1 line\r\nlevel 2 line\r\n" + FailedStart(), FileText("two words.log"));
    EXPECT_EQ("", out) << "standard output stays off";
}

TEST_F(DebugLog, LevelZeroWritesNothingNotEvenErrors)
{
    const std::string out = RunChild("/debug:0,zero.log");
    EXPECT_EQ("", FileText("zero.log")) << "the sink is opened (and truncated), but stays empty";
    EXPECT_EQ("", out);
}

TEST_F(DebugLog, StandardOutputAndAFile)
{
    const std::string out = RunChild("/debug:stdout,both.log");
    EXPECT_EQ(kAll + FailedStart(), FileText("both.log"));
    EXPECT_EQ(kAll + FailedStart(), out);
}

TEST_F(DebugLog, VariableWithoutTheOptionAndAtMostSixteenSinks)
{
    std::string names = "1";
    for (int i = 1; i <= 17; ++i)
        names += ",f" + std::to_string(i);
    SetEnvironmentVariableA("DEBUG", names.c_str());
    EXPECT_EQ(kAll + FailedStart(), RunChild("/debug")) << "an option without value: default sinks";
    EXPECT_FALSE(testsupport::FileExists(kDir + "\\f1"));

    RunChild("/quiet");
    EXPECT_EQ("level 1 line\r\n" + FailedStart(), FileText("f16"));
    EXPECT_FALSE(testsupport::FileExists(kDir + "\\f17"));
}

// On the NT family the default sinks include the pipe a debug viewer serves.
TEST_F(DebugLog, DefaultPipeReachesADebugViewer)
{
    HANDLE pipe = CreateNamedPipeA("\\\\.\\pipe\\debug", PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                   65536, 65536, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    EXPECT_EQ(kAll + FailedStart(), RunChild(""));
    std::string received;  // the child has ended; what it wrote waits in the pipe
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buf, sizeof(buf), &got, nullptr) && got > 0)
        received.append(buf, got);
    CloseHandle(pipe);
    EXPECT_EQ(kAll + FailedStart(), received);
}

}  // namespace
