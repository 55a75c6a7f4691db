// The real setup.exe, started like a user or a deployment tool would, seen
// from outside: its boxes (read and answered with the UI driver), its
// windows, its mutexes and its full 32-bit exit code.
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using testsupport::ChildProcess;
using testsupport::ProgramCopy;
using uidriver::PressDialogButton;

namespace {

std::string g_setup;  // Windows path of the built setup.exe

constexpr DWORD kBoxMs = 20000;
constexpr DWORD kEndMs = 15000;
const char kBrokenScript[] = "[Version]\r\nSignature=\"$Chicago$\"\r\n\r\n[Install\r\nCopyFiles=x\r\n";
const char kEnglishError[] = "There is an error in file %s, line %d. Installation can not continue.";
const char kGermanError[] = "Die Datei %s enth\xe4lt in Zeile %d einen Fehler. Die Installation kann nicht fortgesetzt "
                            "werden.";

// A copy of setup.exe in `folder`, with `script` (null: none) beside it,
// started with `arguments`.
void StartSetup(ProgramCopy& program, ChildProcess& child, const char* script, const std::string& arguments)
{
    ASSERT_TRUE(program.Copied());
    if (script)
        std::ofstream(program.Path("setup.inf"), std::ios::binary) << script;
    ASSERT_TRUE(program.Start(child, arguments));
}

// Waits for the script-error box, checks its text (`format` with the
// script's path and `line`) and answers it; then expects "failed".
void ExpectScriptErrorBox(const ProgramCopy& program, ChildProcess& child, const char* format, int line)
{
    char text[1024];
    snprintf(text, sizeof(text), format, program.Path("setup.inf").c_str(), line);
    HWND box = uidriver::WaitForDialog(child.Id(), kBoxMs);
    ASSERT_NE(nullptr, box) << "no box appeared";
    EXPECT_EQ(text, uidriver::DialogText(box));
    EXPECT_EQ("Error", uidriver::Text(box)) << "the system's default caption";
    ASSERT_TRUE(PressDialogButton(box, uidriver::FindDialogButton(box, "ok")));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1603u, exitCode);
}

// An unattended run shows no box for a broken or missing script: the box's
// text goes to the debug log and the run ends with 1603 at once.
void ExpectScriptErrorLogged(const ProgramCopy& program, ChildProcess& child, const char* format, int line)
{
    char text[1024];
    snprintf(text, sizeof(text), format, program.Path("setup.inf").c_str(), line);
    bool sawBox = false;
    DWORD exitCode = 0;
    const bool ended = uidriver::WaitFor(
        [&] {
            sawBox = sawBox || uidriver::FindDialog(child.Id()) != nullptr;
            return child.Wait(0, &exitCode);
        },
        kEndMs);
    if (!ended)
        child.Kill();
    ASSERT_TRUE(ended) << "the run waits";
    EXPECT_FALSE(sawBox);
    EXPECT_EQ(1603u, exitCode);
    const std::string log = testsupport::ReadFileBytes(program.Path("log.txt"));
    EXPECT_NE(std::string::npos, log.find(std::string("unattended: message box \"\": ") + text)) << log;
    char opened[512];
    snprintf(opened, sizeof(opened), "setup: cannot open %s (line %d)", program.Path("setup.inf").c_str(), line);
    EXPECT_NE(std::string::npos, log.find(opened)) << log;
}

// A missing or broken setup.inf: string 1333 with the full path and the line
// the Setup API reports, in the language the command line chooses; in a box,
// or in the debug log of an unattended run. (Not Spanish: its resources are
// language-neutral, and Wine finds resources by thread locale only when the
// language matches exactly.)
TEST(SetupStart, ScriptErrorBoxNamesFileAndLine)
{
    const struct
    {
        const char* folder;
        const char* script;
        const char* arguments;
        const char* format;
        int line;
        bool unattended;
    } cases[] = {
        {"missing", nullptr, "", kEnglishError, 0, false},
        {"broken", kBrokenScript, "/quiet /lang:fre",
         "Le fichier %s contient une erreur \xe0 la ligne %d. L'installation ne peut pas continuer.", 4, true},
        {"german", kBrokenScript, "/LANG:GERMAN /silent:abc", kGermanError, 4, true},
        {"german-box", kBrokenScript, "/LANG:GERMAN", kGermanError, 4, false},
        {"polish", nullptr, "/lang:pol", kEnglishError, 0, false},
        {"missing-quiet", nullptr, "/quiet", kEnglishError, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        ProgramCopy program(g_setup, c.folder, "setup.exe");
        ChildProcess child;
        StartSetup(program, child, c.script, std::string(c.arguments) + (c.unattended ? " /debug:log.txt" : ""));
        if (c.unattended)
            ExpectScriptErrorLogged(program, child, c.format, c.line);
        else
            ExpectScriptErrorBox(program, child, c.format, c.line);
    }
}

// The user's language on NT 4, read from the registry as hexadecimal text:
// German (Switzerland) gets the German resources by its primary language,
// Japanese falls back to English.
TEST(SetupStart, LanguageFromTheUserSettingsOfNt4)
{
    for (const auto& [locale, format] : {std::make_pair("00000807", kGermanError), {"00000411", kEnglishError}}) {
        SCOPED_TRACE(locale);
        ASSERT_TRUE(
            testsupport::SetRegistryText(HKEY_USERS, ".DEFAULT\\Control Panel\\International", "Locale", locale));
        ProgramCopy program(g_setup, std::string("nt4-") + locale, "setup.exe");
        ChildProcess child;
        StartSetup(program, child, nullptr, "");
        ExpectScriptErrorBox(program, child, format, 0);
    }
}

// Before the wizard: the newer-version question stays a real box in
// unattended runs (No ends with 1602); after Yes the run goes on to the
// products, where none is offered: a failure box, answered by default and
// logged when unattended, then 1603.
TEST(SetupStart, NewerVersionQuestionAndNoProduct)
{
    ASSERT_TRUE(testsupport::SetRegistryText(HKEY_LOCAL_MACHINE,
                                             "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantorTest",
                                             "ProductVersion", "2.0"));
    const char script[] = "[Version]\r\nSignature=\"$Chicago$\"\r\n[Install]\r\nProductVer=1.5\r\n"
                          "Uninstall=VantorTest,\"Vantor Test\"\r\n[Products]\r\nkey=Name,I,R,2\r\n";
    const struct
    {
        const char* arguments;
        const char* answer;
        bool failureBox;  // shown on the screen
        DWORD exitCode;
    } cases[] = {{"/quiet", "no", false, 1602}, {"/quiet", "yes", false, 1603}, {"", "yes", true, 1603}};
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " " + c.answer);
        ProgramCopy program(g_setup, "newer" + std::to_string(++run), "setup.exe");
        ChildProcess child;
        StartSetup(program, child, script, std::string(c.arguments) + " /debug:log.txt");
        HWND question = uidriver::WaitForDialog(child.Id(), kBoxMs);
        ASSERT_NE(nullptr, question);
        EXPECT_EQ("A more recent version of Vantor Test is currently installed on your system.\r\r"
                  "Do you really want to replace the existing version?",
                  uidriver::DialogText(question));
        ASSERT_TRUE(PressDialogButton(question, uidriver::FindDialogButton(question, c.answer)));
        HWND box = nullptr;
        if (c.failureBox) {
            ASSERT_TRUE(uidriver::WaitFor(
                [&] { return (box = uidriver::FindDialog(child.Id())) && box != question; }, kBoxMs));
            EXPECT_EQ("The installation cannot be executed", uidriver::Text(box));
            PressDialogButton(box, IDOK);
        }
        DWORD exitCode = 0;
        ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
        EXPECT_EQ(c.exitCode, exitCode);
        std::string log = testsupport::ReadFileBytes(program.Path("log.txt"));
        bool logged = log.find("unattended: message box \"The installation cannot be executed\"") != std::string::npos;
        EXPECT_EQ(!c.failureBox && c.exitCode == 1603, logged) << log;
    }
}

// Pause messages (32769, both parameters 0) that reached `window`, taken
// from this thread's queue.
int PauseMessages(HWND window)
{
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, window, WM_APP + 1, WM_APP + 1, PM_REMOVE))
        count += message.wParam == 0 && message.lParam == 0;
    return count;
}

// While setup runs, the autorun program finds the pause mutex and has got
// its message. A second copy from the same file (named in other letter
// case) brings the first copy's hidden window forward, shows nothing, leaves
// the first copy's log file as it is (same name) and ends with 1618; a copy
// in another folder runs beside it.
TEST(SetupStart, OneCopyPerProgramFileAndAutorunPaused)
{
    WNDCLASSA autorunClass = {};
    autorunClass.lpfnWndProc = DefWindowProcA;
    autorunClass.lpszClassName = "VantorAutorunClass";
    RegisterClassA(&autorunClass);
    HWND autorun = CreateWindowA("VantorAutorunClass", "", WS_OVERLAPPED, 0, 0, 9, 9, 0, 0, 0, 0);
    ProgramCopy first(g_setup, "first", "setup.exe"), other(g_setup, "other", "setup.exe");
    ChildProcess firstChild, second, otherChild;
    StartSetup(first, firstChild, nullptr, "/debug:log.txt");
    HWND firstBox = uidriver::WaitForDialog(firstChild.Id(), kBoxMs);
    ASSERT_NE(nullptr, firstBox);
    EXPECT_EQ(1, PauseMessages(autorun));
    const std::string firstLog = testsupport::ReadFileBytes(first.Path("log.txt"));
    EXPECT_NE(std::string::npos, firstLog.find("setup: cannot open")) << firstLog;
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "VantorAutorunPauseMutex");
    EXPECT_NE(nullptr, mutex) << "the pause mutex exists while setup runs";
    CloseHandle(mutex);

    HWND hidden = FindWindowA("SETUP", nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(hidden, &owner);
    EXPECT_EQ(firstChild.Id(), owner);
    EXPECT_FALSE(IsWindowVisible(hidden));
    SetForegroundWindow(firstBox);
    std::string upper = first.Exe();
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(second.Start("\"" + upper + "\" /quiet /debug:log.txt", first.Dir()));
    DWORD exitCode = 0;
    ASSERT_TRUE(second.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1618u, exitCode);
    EXPECT_EQ(firstLog, testsupport::ReadFileBytes(first.Path("log.txt"))) << "the first copy's log is untouched";
    // The first copy takes the activation when its thread next reads messages.
    EXPECT_TRUE(uidriver::WaitFor([&] { return GetForegroundWindow() == hidden; }, 5000))
        << "the first copy's hidden window comes forward";
    EXPECT_EQ(nullptr, uidriver::FindDialog(second.Id()));
    EXPECT_EQ(0, PauseMessages(autorun)) << "the second copy ended before its autorun step";

    StartSetup(other, otherChild, nullptr, "");
    ExpectScriptErrorBox(other, otherChild, kEnglishError, 0);
    EXPECT_EQ(1, PauseMessages(autorun)) << "a copy in another folder runs and pauses the autorun program too";
    ExpectScriptErrorBox(first, firstChild, kEnglishError, 0);
    EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, "VantorAutorunPauseMutex"))
        << "the mutex ends with the last setup process";
}

// A mutex of the name the lock had in the session's namespace, made by
// anyone beforehand, does not stop the installer: the lock lives in a
// private namespace of the administrators. A second start still meets the
// first copy there and ends with 1618.
TEST(SetupStart, AMutexMadeBeforehandDoesNotBlock)
{
    if (!GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreatePrivateNamespaceA"))
        GTEST_SKIP() << "this Wine: no private namespaces (Wine 8 lacks CreateBoundaryDescriptorA and "
                        "CreatePrivateNamespaceA): the lock stays in the session's namespace";
    ProgramCopy program(g_setup, "squatted", "setup.exe");
    std::string name = program.Exe();
    for (char& c : name)
        c = c == '\\' ? '_' : static_cast<char>(tolower(static_cast<unsigned char>(c)));
    HANDLE squatter = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(nullptr, squatter);
    ChildProcess child, second;
    StartSetup(program, child, nullptr, "");
    HWND box = uidriver::WaitForDialog(child.Id(), kBoxMs);
    EXPECT_NE(nullptr, box) << "the run went on to its script";
    ASSERT_TRUE(program.Start(second, "/quiet"));
    DWORD exitCode = 0;
    ASSERT_TRUE(second.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1618u, exitCode);
    if (box)
        ExpectScriptErrorBox(program, child, kEnglishError, 0);
    CloseHandle(squatter);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return 2;
    g_setup = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
