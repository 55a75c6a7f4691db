// The real setup.exe, started like a user or a deployment tool would, seen
// from outside: its boxes (read and answered with the UI driver), its
// windows, its mutexes and its full 32-bit exit code.
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

using testsupport::ChildProcess;
using testsupport::ProgramCopy;

namespace {

std::string g_setup;  // Windows path of the built setup.exe

constexpr DWORD kBoxMs = 20000;
constexpr DWORD kEndMs = 15000;
const char kBrokenScript[] = "[Version]\r\nSignature=\"$Chicago$\"\r\n\r\n[Install\r\nCopyFiles=x\r\n";

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Waits for the script-error box of `child`, checks its text and answers
// it; then expects the "failed" exit code.
void ExpectScriptErrorBox(ChildProcess& child, const std::string& text)
{
    HWND box = uidriver::WaitForDialog(child.Id(), kBoxMs);
    ASSERT_NE(nullptr, box) << "no box appeared";
    EXPECT_EQ(text, uidriver::DialogText(box));
    EXPECT_EQ("Error", uidriver::Text(box)) << "the system's default caption";
    ASSERT_TRUE(uidriver::PressDialogButton(box, uidriver::FindDialogButton(box, "ok")));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1603u, exitCode);
}

// A missing or broken setup.inf: string 1333 with the full path and the line
// the Setup API reports, in the language the command line or the user's
// settings choose, also in unattended runs. (Not Spanish: its resources are
// language-neutral, and Wine finds resources by thread locale only when
// the language matches exactly.)
TEST(SetupStart, ScriptErrorBoxNamesFileAndLine)
{
    struct Case
    {
        const char* folder;
        const char* script;  // null: no setup.inf
        const char* arguments;
        const char* text;    // %s: the script's path
    };
    const Case cases[] = {
        {"missing", nullptr, "", "There is an error in file %s, line 0. Installation can not continue."},
        {"broken", kBrokenScript, "/quiet /lang:fre",
         "Le fichier %s contient une erreur \xe0 la ligne 4. L'installation ne peut pas continuer."},
        {"german", kBrokenScript, "/LANG:GERMAN /silent:abc",
         "Die Datei %s enth\xe4lt in Zeile 4 einen Fehler. Die Installation kann nicht fortgesetzt werden."},
        {"polish", nullptr, "/lang:pol", "There is an error in file %s, line 0. Installation can not continue."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        ProgramCopy program(g_setup, c.folder, "setup.exe");
        ASSERT_TRUE(program.Copied());
        if (c.script)
            WriteFile(program.Path("setup.inf"), c.script);
        ChildProcess child;
        ASSERT_TRUE(program.Start(child, c.arguments));
        std::string text = c.text;
        text.replace(text.find("%s"), 2, program.Path("setup.inf"));
        ExpectScriptErrorBox(child, text);
    }
}

// The user's language on NT 4, read from the registry as hexadecimal text:
// German (Switzerland) gets the German resources by its primary language,
// Japanese falls back to English.
TEST(SetupStart, LanguageFromTheUserSettingsOfNt4)
{
    const std::pair<const char*, const char*> cases[] = {
        {"00000807", "Die Datei %s enth\xe4lt in Zeile 0 einen Fehler. Die Installation kann nicht fortgesetzt werden."},
        {"00000411", "There is an error in file %s, line 0. Installation can not continue."},
    };
    for (const auto& [locale, expected] : cases) {
        SCOPED_TRACE(locale);
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_USERS, ".DEFAULT\\Control Panel\\International", 0, nullptr,
                                                 0, KEY_SET_VALUE, nullptr, &key, nullptr));
        RegSetValueExA(key, "Locale", 0, REG_SZ, reinterpret_cast<const BYTE*>(locale), 9);
        RegCloseKey(key);
        ProgramCopy program(g_setup, std::string("nt4-") + locale, "setup.exe");
        ChildProcess child;
        ASSERT_TRUE(program.Start(child, ""));
        std::string text = expected;
        text.replace(text.find("%s"), 2, program.Path("setup.inf"));
        ExpectScriptErrorBox(child, text);
    }
}

// Before the wizard: the newer-version question stays a real box in
// unattended runs (No ends with 1602); after Yes the run goes on to the
// products, where none is offered: a failure box, answered by default and
// logged when unattended, then 1603.
TEST(SetupStart, NewerVersionQuestionAndNoProduct)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantorTest",
                              0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExA(key, "ProductVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>("2.0"), 4);
    RegCloseKey(key);
    const char script[] = "[Version]\r\nSignature=\"$Chicago$\"\r\n[Install]\r\nProductVer=1.5\r\n"
                          "Uninstall=VantorTest,\"Vantor Test\"\r\n[Products]\r\nkey=Name,I,R,2\r\n";
    const struct
    {
        const char* arguments;
        const char* answer;
        bool failureBox;  // shown on the screen
        DWORD exitCode;
    } cases[] = {
        {"/quiet", "no", false, 1602},
        {"/quiet", "yes", false, 1603},
        {"", "yes", true, 1603},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " " + c.answer);
        ProgramCopy program(g_setup, "newer" + std::to_string(++run), "setup.exe");
        WriteFile(program.Path("setup.inf"), script);
        ChildProcess child;
        ASSERT_TRUE(program.Start(child, std::string(c.arguments) + " /debug:log.txt"));
        HWND question = uidriver::WaitForDialog(child.Id(), kBoxMs);
        ASSERT_NE(nullptr, question);
        EXPECT_EQ("A more recent version of Vantor Test is currently installed on your system.\r\r"
                  "Do you really want to replace the existing version?",
                  uidriver::DialogText(question));
        ASSERT_TRUE(uidriver::PressDialogButton(question, uidriver::FindDialogButton(question, c.answer)));
        if (c.failureBox) {
            HWND box = nullptr;
            ASSERT_TRUE(uidriver::WaitFor([&] { return (box = uidriver::FindDialog(child.Id())) && box != question; },
                                          kBoxMs));
            EXPECT_EQ("The installation cannot be executed", uidriver::Text(box));
            uidriver::PressDialogButton(box, IDOK);
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
// case) brings the first copy's hidden window forward, shows nothing and
// ends with 1618; a copy in another folder runs beside it.
TEST(SetupStart, OneCopyPerProgramFileAndAutorunPaused)
{
    WNDCLASSA autorunClass = {};
    autorunClass.lpfnWndProc = DefWindowProcA;
    autorunClass.lpszClassName = "VantorAutorunClass";
    RegisterClassA(&autorunClass);
    HWND autorun = CreateWindowA("VantorAutorunClass", "", WS_OVERLAPPED, 0, 0, 9, 9, 0, 0, 0, 0);
    ProgramCopy first(g_setup, "first", "setup.exe");
    ProgramCopy other(g_setup, "other", "setup.exe");
    ASSERT_TRUE(first.Copied() && other.Copied());
    ChildProcess firstChild;
    ASSERT_TRUE(first.Start(firstChild, ""));
    HWND firstBox = uidriver::WaitForDialog(firstChild.Id(), kBoxMs);
    ASSERT_NE(nullptr, firstBox);

    EXPECT_EQ(1, PauseMessages(autorun));
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "VantorAutorunPauseMutex");
    EXPECT_NE(nullptr, mutex) << "the pause mutex exists while setup runs";
    if (mutex)
        CloseHandle(mutex);

    HWND hidden = FindWindowA("SETUP", nullptr);
    ASSERT_NE(nullptr, hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    DWORD owner = 0;
    GetWindowThreadProcessId(hidden, &owner);
    EXPECT_EQ(firstChild.Id(), owner);
    SetForegroundWindow(firstBox);

    std::string upper = first.Exe();
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ChildProcess second;
    ASSERT_TRUE(second.Start("\"" + upper + "\" /quiet", first.Dir()));
    DWORD exitCode = 0;
    ASSERT_TRUE(second.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1618u, exitCode);
    // The first copy takes the activation when its thread next reads messages.
    EXPECT_TRUE(uidriver::WaitFor([&] { return GetForegroundWindow() == hidden; }, 5000))
        << "the first copy's hidden window comes forward";
    EXPECT_EQ(nullptr, uidriver::FindDialog(second.Id()));
    EXPECT_EQ(0, PauseMessages(autorun)) << "the second copy ended before its autorun step";

    ChildProcess otherChild;
    ASSERT_TRUE(other.Start(otherChild, ""));
    HWND otherBox = uidriver::WaitForDialog(otherChild.Id(), kBoxMs);
    EXPECT_NE(nullptr, otherBox) << "a copy in another folder runs";
    EXPECT_EQ(1, PauseMessages(autorun)) << "and pauses the autorun program as well";
    if (otherBox)
        uidriver::PressDialogButton(otherBox, IDOK);
    EXPECT_TRUE(otherChild.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1603u, exitCode);

    uidriver::PressDialogButton(firstBox, IDOK);
    ASSERT_TRUE(firstChild.Wait(kEndMs, &exitCode));
    EXPECT_EQ(1603u, exitCode);
    EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, "VantorAutorunPauseMutex"))
        << "the mutex ends with the last setup process";
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: setup_start_e2e_test SETUP.EXE\n");
        return 2;
    }
    g_setup = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
