// The real mdmprobe.exe, started like a user or a script would, driven from
// outside through its wizard, judged by its exit code and its log on disk.
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>

using namespace uidriver;
using testsupport::ChildProcess;

namespace {

std::string g_programSource;  // Windows path of the built mdmprobe.exe

constexpr DWORD kStartMs = 20000;
constexpr DWORD kEndMs = 15000;
const DWORD kCancelledExit = static_cast<DWORD>(-5);
const DWORD kBadCommandLineExit = static_cast<DWORD>(-4);

// A private copy of the program in its own folder, so that its default log
// (next to the program) belongs to this test alone.
class ProgramCopy : public testsupport::ProgramCopy
{
public:
    explicit ProgramCopy(const char* name, const char* exeName = "mdmprobe.exe")
        : testsupport::ProgramCopy(g_programSource, name, exeName)
    {
    }
};

// Time prefixes replaced by "T - " after checking their form.
std::string NormalizedLog(const std::string& path)
{
    bool ok = false;
    std::string bytes = testsupport::ReadFileBytes(path, &ok);
    if (!ok)
        return "<no log file " + path + ">";
    static const std::regex prefix("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9] - ");
    return std::regex_replace(bytes, prefix, "T - ");
}

const std::string kBanner = "T - " + std::string(58, '=') + "\r\n";
const std::regex kHeader("^" + kBanner +
                         "T - = Modem Installationtest - LOGFILE [01][0-9]/[0-3][0-9]/20[0-9]{2} =\r\n" +
                         kBanner);

const char kNoModem[] = "T - ERROR - No compatible modem has been detected !\r\n";

// Waits until the log holds `text` (the scan has ended), so that a cancel
// cannot overtake the page's reaction to the scan's result.
bool WaitForLog(const std::string& path, const std::string& text)
{
    return WaitFor([&] { return NormalizedLog(path).find(text) != std::string::npos; }, kEndMs);
}

// The scan of a preset port where nothing answers, from a program without
// its definition file (the first line continues the command line).
std::string ScanWithoutDefinitionFile(const std::string& port)
{
    std::string text = "ERROR               : .INI File not found !\r\n";
    for (const char* key : {"DiagCmd", "DiagAnswer", "ModemDetectCmd", "ModemDetectAnsw",
                            "ModemReadName", "ModemReadName2", "ModemReadFirmw"})
        text += std::string("T - ModemCmds & Answers : ") + key + " not in Common section of INI !\r\n";
    return text + "\r\n" + kBanner +
           "T - ===================  BEGIN PORT SCAN  ====================\r\n"
           "T - Scanning Port       : " + port + "\r\n\r\n" +
           "T - ================  RESULT OF PORT SCAN  ===================\r\n" + kNoModem;
}

TEST(ProbeApp, EmptyCommandLineRunsInteractiveWizardAndCancelIsLogged)
{
    ProgramCopy program("interactive");
    ASSERT_TRUE(program.Copied());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, ""));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";

    // Welcome page first, of three.
    EXPECT_EQ(3, PageCount(sheet));
    EXPECT_EQ(0, CurrentPageIndex(sheet));
    EXPECT_EQ("Welcome to the Vantor Modem Test", ControlText(sheet, 1020));
    EXPECT_TRUE(WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Next); }, 5000));
    EXPECT_FALSE(ButtonEnabled(sheet, WizardButton::Back));

    // Next: the modem search page with Next disabled until a modem is found,
    // and the connection options hidden.
    Press(sheet, WizardButton::Next);
    ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 1; }, 5000));
    ASSERT_NE(nullptr, PageControl(sheet, 1028));
    EXPECT_EQ("Com port:", ControlText(sheet, 1025));
    // The page sets its buttons by a posted message, after the page change.
    EXPECT_TRUE(WaitFor([&] {
        return ButtonEnabled(sheet, WizardButton::Back) && !ButtonEnabled(sheet, WizardButton::Next);
    }, 5000));
    for (int hidden : {1036, 1062, 1063, 1041, 1042, 1066, 1039, 1038, 1033, 1044, 1031, 1035})
        EXPECT_FALSE(IsShown(PageControl(sheet, hidden))) << "control " << hidden;
    EXPECT_TRUE(IsChecked(PageControl(sheet, 1062)));
    EXPECT_FALSE(IsChecked(PageControl(sheet, 1063)));
    EXPECT_TRUE(IsChecked(PageControl(sheet, 1066)));

    // Back to the welcome page once the scan found no port, then cancel.
    EXPECT_TRUE(WaitForLog(program.Path("mdmprobe.log"), kNoModem));
    Press(sheet, WizardButton::Back);
    ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 0; }, 5000));
    Press(sheet, WizardButton::Cancel);
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(kCancelledExit, exitCode);

    std::string log = NormalizedLog(program.Path("mdmprobe.log"));
    EXPECT_TRUE(std::regex_search(log, kHeader)) << log;
    EXPECT_EQ(std::string::npos, log.find("Automatic mode")) << log;
    const std::string cancel = "T - PRG-Message         : Program canceled by user !";
    ASSERT_GE(log.size(), cancel.size());
    EXPECT_EQ(cancel, log.substr(log.size() - cancel.size())) << log;
}

TEST(ProbeApp, PortAndLogSwitchesRunAutomaticModeWithTwoPages)
{
    ProgramCopy program("automatic");
    ASSERT_TRUE(program.Copied());
    std::string logPath = program.Path("auto.log");
    std::string arguments = "/P:COM2 /L:" + logPath;
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, arguments));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";

    EXPECT_EQ(2, PageCount(sheet));
    EXPECT_EQ(0, CurrentPageIndex(sheet));
    EXPECT_NE(nullptr, PageControl(sheet, 1028)) << "the search page comes first";
    EXPECT_EQ(nullptr, PageControl(sheet, 1020)) << "no welcome page";

    EXPECT_TRUE(WaitForLog(logPath, kNoModem));
    Press(sheet, WizardButton::Cancel);
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(kCancelledExit, exitCode);

    std::string log = NormalizedLog(logPath);
    std::smatch header;
    ASSERT_TRUE(std::regex_search(log, header, kHeader)) << log;
    EXPECT_EQ("T - PRG-Mode            : Program started on command line\r\n"
              "T -                        -> Automatic mode ON.\r\n"
              "T - Command Line        : " + arguments + ScanWithoutDefinitionFile("COM2") +
                  "T - PRG-Message         : Program canceled by user !",
              header.suffix().str());
    EXPECT_FALSE(testsupport::FileExists(program.Path("mdmprobe.log")))
        << "the /L: name replaces the default log";
}

TEST(ProbeApp, AutomaticModeWithoutLogSwitchLogsNextToTheProgramUnderItsName)
{
    ProgramCopy program("defaultlog", "ModemCheck.exe");
    ASSERT_TRUE(program.Copied());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM2"));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";
    EXPECT_EQ(2, PageCount(sheet)) << "automatic mode";
    EXPECT_TRUE(WaitForLog(program.Path("ModemCheck.log"), kNoModem));
    Press(sheet, WizardButton::Cancel);
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(kCancelledExit, exitCode);

    std::string log = NormalizedLog(program.Path("ModemCheck.log"));
    std::smatch header;
    ASSERT_TRUE(std::regex_search(log, header, kHeader)) << log;
    EXPECT_EQ("T - PRG-Mode            : Program started on command line\r\n"
              "T -                        -> Automatic mode ON.\r\n"
              "T - Command Line        : /P:COM2" + ScanWithoutDefinitionFile("COM2") +
                  "T - PRG-Message         : Program canceled by user !",
              header.suffix().str());
    EXPECT_FALSE(testsupport::FileExists(program.Path("mdmprobe.log")));
}

TEST(ProbeApp, NoDialToneAloneEndsAtOnceWithoutWindowOrLog)
{
    ProgramCopy program("nodialtone");
    ASSERT_TRUE(program.Copied());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/NODIALTONE"));
    bool sawWindow = false;
    DWORD exitCode = 0;
    bool ended = WaitFor(
        [&] {
            sawWindow = sawWindow || FindWizard(child.Id()) != nullptr;
            return child.Wait(0, &exitCode);
        },
        kEndMs);
    ASSERT_TRUE(ended);
    EXPECT_EQ(kBadCommandLineExit, exitCode);
    EXPECT_FALSE(sawWindow);
    EXPECT_FALSE(testsupport::FileExists(program.Path("mdmprobe.log")));
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: probeapp_e2e_test <mdmprobe.exe (Unix path)>\n");
        return 2;
    }
    g_programSource = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
