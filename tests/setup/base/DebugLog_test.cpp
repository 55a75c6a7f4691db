// The debug log seen from outside: debuglog_child.exe (built beside this
// program) is started with a "debug" option or a DEBUG variable, and the test
// reads what reached its files, its standard output and the debug pipe.
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>

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
// `elapsedMs` (optional) gets the time from its start to its end.
std::string RunChild(const std::string& arguments, DWORD* elapsedMs = nullptr)
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
    const DWORD start = testsupport::PreciseMs();
    const BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, kDir.c_str(), &startup, &process);
    CloseHandle(out);
    EXPECT_TRUE(started) << line;
    if (started) {
        if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "still running after 20 s: " << line;
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        }
        if (elapsedMs)
            *elapsedMs = testsupport::PreciseMsSince(start);
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

// The impersonation level the server of `pipe` (named `name`) gets from the
// first client that `client` makes: a thread waits for it, reads its first
// bytes, impersonates it and reads the level from its thread token, then
// takes the rest, so the client never waits. -1 when none was read.
int ClientLevel(HANDLE pipe, const char* name, const std::function<void()>& client)
{
    int level = -1;
    std::thread server([&] {
        char buf[4096];
        DWORD got = 0;
        if ((ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) &&
            ReadFile(pipe, buf, sizeof(buf), &got, nullptr) && ImpersonateNamedPipeClient(pipe)) {
            HANDLE token = nullptr;
            SECURITY_IMPERSONATION_LEVEL value;
            DWORD size = 0;
            if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) &&
                GetTokenInformation(token, TokenImpersonationLevel, &value, sizeof(value), &size))
                level = value;
            if (token)
                CloseHandle(token);
            RevertToSelf();
        }
        while (ReadFile(pipe, buf, sizeof(buf), &got, nullptr) && got > 0) {
        }
    });
    client();
    // A client that never came: one that goes at once ends the wait.
    CloseHandle(CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    server.join();
    return level;
}

// Whether this system gives a pipe server the level its client asked for:
// a client of this program that asks for identification only.
bool PipeLevelsKept()
{
    const char kName[] = "\\\\.\\pipe\\level-probe";
    HANDLE pipe =
        CreateNamedPipeA(kName, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    const int level = ClientLevel(pipe, kName, [&] {
        HANDLE client = CreateFileA(kName, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        DWORD written = 0;
        WriteFile(client, "x", 1, &written, nullptr);
        CloseHandle(client);
    });
    CloseHandle(pipe);
    return level == SecurityIdentification;
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

// A viewer that creates the pipe and never reads (no buffer: the first line
// waits) costs the run the pipe's limit once: the pipe is dropped, the other
// sinks say so once and get every line.
TEST_F(DebugLog, AViewerThatDoesNotReadIsDroppedAfterTheLimit)
{
    HANDLE pipe = CreateNamedPipeA("\\\\.\\pipe\\debug", PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0,
                                   nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    DWORD elapsed = 0, alone = 0;
    const std::string out = RunChild("", &elapsed);
    CloseHandle(pipe);
    RunChild("", &alone);  // the same run without a viewer
    EXPECT_EQ("level 1 line\r\n"
              "debug log: \\\\.\\pipe\\debug took no text for 200 ms; it is closed and no longer written\r\n"
              "level 2 line\r\nlevel 3 line\r\n" +
                  FailedStart(),
              out);
    // The delay is the limit, with room for a loaded machine; without the
    // limit the run would wait for the viewer for ever.
    EXPECT_LT(static_cast<int>(elapsed) - static_cast<int>(alone), 200 + 800) << elapsed << " ms against " << alone;
}

// The client level a pipe server gets from the log: identification only, so
// that whoever created "\\.\pipe\debug" cannot act as the installer.
TEST_F(DebugLog, APipeServerCannotImpersonateTheLog)
{
    if (!PipeLevelsKept())
        GTEST_SKIP() << "this Wine: it gives a pipe server full impersonation whatever level the client asks for";
    HANDLE pipe = CreateNamedPipeA("\\\\.\\pipe\\debug", PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                   65536, 65536, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe);
    EXPECT_EQ(SecurityIdentification, ClientLevel(pipe, "\\\\.\\pipe\\debug", [] { RunChild(""); }))
        << "not SecurityImpersonation (2) or SecurityDelegation (3)";
    CloseHandle(pipe);
}

// Names of devices, a path through a reparse point (a symbolic link to a
// folder that the build makes beside this program; Wine shows a link to a
// file as that file) and a file with a second hard link are refused, each
// with one line on the other sinks, and nothing reaches them.
TEST_F(DebugLog, DevicesReparsePointsAndLinkedFilesAreRefused)
{
    const std::string reparse = testsupport::ModuleDir() + "\\reparse";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((reparse + "\\folder-link").c_str()));
    DeleteFileA((reparse + "\\target\\through.log").c_str());
    std::ofstream(kDir + "\\linked.log", std::ios::binary) << "kept";
    DeleteFileA((kDir + "\\second.log").c_str());
    ASSERT_TRUE(CreateHardLinkA((kDir + "\\second.log").c_str(), (kDir + "\\linked.log").c_str(), nullptr));

    const char kDevice[] = "it names a device";
    const char kReparse[] = "its path passes through a reparse point (a junction or link)";
    const std::pair<std::string, const char*> refused[] = {
        {"NUL", kDevice},
        {"C:\\logs\\com1.log", kDevice},
        {"\\\\.\\pipe\\debug", kDevice},
        {reparse + "\\folder-link\\through.log", kReparse},
        {kDir + "\\linked.log", "the file has further hard links"},
    };
    std::string option = "/debug:stdout,good.log";
    std::string lines;
    for (const auto& [name, reason] : refused) {
        option += ",\"" + name + "\"";
        lines += "debug log: " + name + " is not written: " + reason + "\r\n";
    }
    const std::string out = RunChild(option);
    EXPECT_EQ(lines + kAll + FailedStart(), out);
    EXPECT_EQ(lines + kAll + FailedStart(), FileText("good.log")) << "a later file gets the refusals too";
    EXPECT_FALSE(testsupport::FileExists(reparse + "\\target\\through.log"));
    EXPECT_EQ("kept", FileText("linked.log"));
}

}  // namespace
