// The setup run with the real start-up code and a stand-in for the wizard:
// this program, started with --as-setup, is setup.exe except that its
// wizard is a plain window the test drives (it plays the run thread too:
// kStartRun sets the busy flag, WM_CLOSE clears it and ends the wizard).
// The stand-in writes the setup context it got to context.txt.
//
// The restart prompt is the Setup API's; Wine's prints a "fixme" line
// instead of asking. The child runs with that debug channel on, and ctest
// looks for the line (or its absence) in the test's output.
#include "SetupContext.h"
#include "SetupMain.h"
#include "UiDriver.h"
#include "WinTestSupport.h"
#include "Wizard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string g_sampleScript;  // Windows path of the sample setup.inf
const char kWizardClass[] = "StandInWizard";
enum : UINT { kStartRun = WM_APP };

LRESULT CALLBACK WizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* context = reinterpret_cast<SetupContext*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kStartRun || message == WM_CLOSE)
        context->busy->store(message == kStartRun);
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return message == kStartRun ? 1 : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

RunOutcome ShowWizard(SetupContext* context)
{
    std::string list;
    for (const char* p = context->productList; *p; p += std::strlen(p) + 1)
        list += std::string(p) + ";";
    // Beside the program: its current folder is the system folder.
    std::ofstream(testsupport::ModuleDir() + "\\context.txt", std::ios::binary)
        << (context->script != INVALID_HANDLE_VALUE) << (context->titleFont && context->textFont)
        << (context->icons[0] && context->icons[1]) << (!context->pairList[0] && !context->pairList[1])
        << "\nquiet " << (context->quiet ? context->quiet : "(none)") << "\nproducts " << list
        << "\nsections " << context->installSection << "," << context->removeSection << ","
        << context->productsSection << "\nlanguage " << context->language << " style " << context->wizardStyle
        << " remove " << context->removeMode << "\n"
        << context->productTitle << "\n"
        << context->welcomeText << "\n";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WizardProc;
    windowClass.lpszClassName = kWizardClass;
    RegisterClassA(&windowClass);
    HWND wizard = CreateWindowA(kWizardClass, "", WS_OVERLAPPED, 0, 0, 9, 9, context->owner, 0, 0, 0);
    SetWindowLongPtrA(wizard, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
    MSG message;
    while (IsWindow(wizard) && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return RunOutcome::Finished;
}

namespace {

// A copy of this program run as setup, with the sample script beside it.
struct SetupChild
{
    testsupport::ProgramCopy program;
    testsupport::ChildProcess child;
    HWND hidden = nullptr;
    HWND wizard = nullptr;

    SetupChild(const char* folder, const std::string& arguments)
        : program(testsupport::ModuleDir() + "\\setup_run_test.exe", folder, "setup_run_test.exe")
    {
        CopyFileA(g_sampleScript.c_str(), program.Path("setup.inf").c_str(), FALSE);
        SetEnvironmentVariableA("WINEDEBUG", "-all,fixme+setupapi");
        program.Start(child, "--as-setup " + arguments);
        SetEnvironmentVariableA("WINEDEBUG", "-all");
        uidriver::WaitFor([this] { return (wizard = FindWindowA(kWizardClass, nullptr)) != nullptr; }, 20000);
        hidden = FindWindowA("SETUP", nullptr);
    }
    LRESULT Send(HWND window, UINT message)
    {
        DWORD_PTR result = 0xdead;
        SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        return static_cast<LRESULT>(result);
    }
    // Runs the stand-in's "run" while Windows asks to end the session;
    // returns the hidden window's answer.
    LRESULT EndSessionWhileBusy()
    {
        Send(wizard, kStartRun);
        return Send(hidden, WM_QUERYENDSESSION);
    }
    DWORD Finish()
    {
        PostMessageA(wizard, WM_CLOSE, 0, 0);
        DWORD exitCode = 0xdead;
        child.Wait(20000, &exitCode);
        return exitCode;
    }
    std::string Context() const { return testsupport::ReadFileBytes(program.Path("context.txt")); }
};

// While the run is busy, ending the session is refused and the run needs a
// restart; reboot mode 1 then asks with the Setup API's prompt (Wine's
// answers "no": the restart is not made, 3010). The context is filled.
TEST(SetupRun, SessionEndRefusedWhileBusyThenRestartPrompt)
{
    SetupChild run("prompt", "/lang:ger");
    ASSERT_NE(nullptr, run.wizard);
    EXPECT_EQ(TRUE, run.Send(run.hidden, WM_QUERYENDSESSION)) << "idle: Windows may end the session";
    EXPECT_EQ(FALSE, run.EndSessionWhileBusy());
    EXPECT_EQ(3010u, run.Finish());
    EXPECT_EQ("1111\nquiet (none)\nproducts \nsections Install,Remove,Products\nlanguage 1031 style 1 remove 0\n"
              "Vantor Modem-Software\n"
              "Dieser Assistent installiert die Software f\xfcr Ihr Modem auf Ihrem System.\r\n\r\n"
              "Es wird empfohlen, alle anderen Programme zu schlie\xdf" "en, bevor Sie fortfahren.\r\n\r\n"
              "Klicken Sie auf \x84Weiter\x93, um fortzufahren.\n",
              run.Context());
}

// Unattended runs never wait on the prompt: the restart is left to the
// caller (3010). Without a busy run no restart is needed. Reboot mode 2
// restarts without asking (1641: Wine returns from the restart request).
TEST(SetupRun, UnattendedAndForcedRestart)
{
    SetupChild quiet("quiet", "/quiet:abc /style:0 /remove:modemtest");
    ASSERT_NE(nullptr, quiet.wizard);
    EXPECT_EQ(FALSE, quiet.EndSessionWhileBusy());
    EXPECT_EQ(3010u, quiet.Finish());
    EXPECT_NE(std::string::npos, quiet.Context().find("quiet abc\nproducts modemtest;\n")) << quiet.Context();
    EXPECT_NE(std::string::npos, quiet.Context().find("style 0 remove 1\n")) << quiet.Context();

    SetupChild idle("idle", "/quiet");
    ASSERT_NE(nullptr, idle.wizard);
    EXPECT_EQ(0u, idle.Finish());

    SetupChild forced("forced", "/reboot:2");
    ASSERT_NE(nullptr, forced.wizard);
    forced.EndSessionWhileBusy();
    EXPECT_EQ(1641u, forced.Finish());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--as-setup") == 0)
        return SetupMain(GetModuleHandleA(nullptr), std::strstr(GetCommandLineA(), "--as-setup") + 10);
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return 2;
    g_sampleScript = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
