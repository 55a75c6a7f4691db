// The setup run with the real start-up code and a stand-in for the wizard:
// this program, started with --as-setup, is setup.exe except that its
// wizard is a plain window the test drives (it plays the run thread too).
// The stand-in writes the setup context it received to context.txt beside
// the program. Seen from outside: the context, the hidden window's answer to
// the end of the Windows session, the restart by reboot mode and the exit
// code.
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

using testsupport::ChildProcess;
using testsupport::ProgramCopy;

namespace {

std::string g_sampleScript;  // Windows path of the sample setup.inf

const char kWizardClass[] = "StandInWizard";
enum : UINT { kStartRun = WM_APP };  // the stand-in wizard's run begins (busy)

LRESULT CALLBACK WizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* context = reinterpret_cast<SetupContext*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kStartRun) {
        context->busy->store(1);
        return 1;
    }
    if (message == WM_CLOSE) {
        context->busy->store(0);
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* Text(const char* text)
{
    return text ? text : "(none)";
}

void WriteContext(const SetupContext& context)
{
    std::string list;
    for (const char* p = context.productList; *p; p += std::strlen(p) + 1)
        list += std::string(p) + ";";
    std::ofstream out("context.txt", std::ios::binary);
    out << "script " << (context.script != INVALID_HANDLE_VALUE) << "\nfonts "
        << (context.titleFont && context.textFont) << "\nicons " << (context.icons[0] && context.icons[1])
        << "\nquiet " << Text(context.quiet) << "\nproducts " << list << "\nsections "
        << Text(context.installSection) << "," << Text(context.removeSection) << ","
        << Text(context.productsSection)
        << "\npairs " << (context.pairList && !context.pairList[0] && !context.pairList[1]) << "\nlanguage "
        << context.language << "\nstyle " << context.wizardStyle << "\nremove " << context.removeMode
        << "\ntitle " << context.productTitle << "\nwelcome " << context.welcomeText << "\n";
}

}  // namespace

// The stand-in wizard of the child.
RunOutcome ShowWizard(SetupContext* context)
{
    WriteContext(*context);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WizardProc;
    windowClass.lpszClassName = kWizardClass;
    RegisterClassA(&windowClass);
    HWND wizard = CreateWindowA(kWizardClass, "", WS_OVERLAPPED, 0, 0, 100, 100, context->owner, nullptr,
                                nullptr, nullptr);
    SetWindowLongPtrA(wizard, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
    MSG message;
    while (IsWindow(wizard) && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return RunOutcome::Finished;
}

namespace {

struct SetupChild
{
    ProgramCopy program;
    ChildProcess child;
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

    // Lets the stand-in wizard close; returns the exit code.
    DWORD Finish()
    {
        PostMessageA(wizard, WM_CLOSE, 0, 0);
        DWORD exitCode = 0xdead;
        child.Wait(20000, &exitCode);
        return exitCode;
    }
};

// While the run is busy, ending the session is refused and the run needs a
// restart; reboot mode 1 then asks with the Setup API's prompt (Wine's
// answers "no": the restart is not made, exit code 3010).
TEST(SetupRun, SessionEndRefusedWhileBusyThenRestartPrompt)
{
    SetupChild run("prompt", "/lang:ger");
    ASSERT_NE(nullptr, run.wizard);
    ASSERT_NE(nullptr, run.hidden);
    EXPECT_EQ(TRUE, run.Send(run.hidden, WM_QUERYENDSESSION)) << "idle: Windows may end the session";
    ASSERT_EQ(1, run.Send(run.wizard, kStartRun));
    EXPECT_EQ(FALSE, run.Send(run.hidden, WM_QUERYENDSESSION)) << "busy: refused";
    EXPECT_EQ(3010u, run.Finish());

    bool ok = false;
    std::string context = testsupport::ReadFileBytes(run.program.Path("context.txt"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ("script 1\nfonts 1\nicons 1\nquiet (none)\nproducts \nsections Install,Remove,Products\n"
              "pairs 1\nlanguage 1031\nstyle 1\nremove 0\ntitle Vantor Modem-Software\n"
              "welcome Dieser Assistent installiert die Software f\xfcr Ihr Modem auf Ihrem System.\r\n\r\n"
              "Es wird empfohlen, alle anderen Programme zu schlie\xdf" "en, bevor Sie fortfahren.\r\n\r\n"
              "Klicken Sie auf \x84Weiter\x93, um fortzufahren.\n",
              context);
}

// Unattended runs never wait on the prompt: the restart is left to the
// caller (3010). Without a busy run nothing needs a restart.
TEST(SetupRun, UnattendedRunLeavesTheRestartToTheCaller)
{
    SetupChild quiet("quiet", "/quiet:abc /style:0 /remove:key");
    ASSERT_NE(nullptr, quiet.wizard);
    quiet.Send(quiet.wizard, kStartRun);
    EXPECT_EQ(FALSE, quiet.Send(quiet.hidden, WM_QUERYENDSESSION));
    EXPECT_EQ(3010u, quiet.Finish());
    std::string context = testsupport::ReadFileBytes(quiet.program.Path("context.txt"));
    EXPECT_NE(std::string::npos, context.find("quiet abc\nproducts key;\n")) << context;
    EXPECT_NE(std::string::npos, context.find("style 0\nremove 1\n")) << context;

    SetupChild idle("idle", "/quiet");
    ASSERT_NE(nullptr, idle.wizard);
    EXPECT_EQ(0u, idle.Finish());
}

// Reboot mode 2 restarts without asking. Wine ends the program that asked
// for the restart (exit code 0); Windows lets it end with 1641.
TEST(SetupRun, RebootMode2RestartsWithoutAsking)
{
    SetupChild run("forced", "/reboot:2");
    ASSERT_NE(nullptr, run.wizard);
    run.Send(run.wizard, kStartRun);
    run.Send(run.hidden, WM_QUERYENDSESSION);
    DWORD exitCode = run.Finish();
    EXPECT_TRUE(exitCode == 0 || exitCode == 1641) << exitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--as-setup") == 0) {
        const char* arguments = std::strstr(GetCommandLineA(), "--as-setup") + std::strlen("--as-setup");
        return SetupMain(GetModuleHandleA(nullptr), arguments);
    }
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: setup_run_test SAMPLE-SETUP.INF\n");
        return 2;
    }
    g_sampleScript = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
