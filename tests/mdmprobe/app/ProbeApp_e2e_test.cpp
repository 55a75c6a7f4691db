// The real mdmprobe.exe, started like a user or a script would, driven from
// outside through its wizard, judged by its exit code, its log on disk,
// the modem simulator's transcript and its result report (/R:), which
// Python's jsonschema checks against mdmprobe/report.schema.json.
#include "ModemTranscript.h"
#include "ResultList.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

using namespace uidriver;
using testsupport::ChildProcess;

namespace {

std::string g_programSource;  // Windows path of the built mdmprobe.exe
// The report checker: python3 (Windows path), check_report.py and the
// schema (Unix paths).
std::string g_python;
std::string g_checker;
std::string g_schema;

constexpr DWORD kStartMs = 20000;
constexpr DWORD kEndMs = 15000;
constexpr DWORD kCheckMs = 30000;
const DWORD kCancelledExit = static_cast<DWORD>(-5);
const DWORD kBadCommandLineExit = static_cast<DWORD>(-4);
const DWORD kNoModemExit = static_cast<DWORD>(-2);

// A private copy of the program in its own folder, so that its default log
// (next to the program) belongs to this test alone.
class ProgramCopy : public testsupport::ProgramCopy
{
public:
    explicit ProgramCopy(const char* name, const char* exeName = "mdmprobe.exe")
        : testsupport::ProgramCopy(g_programSource, name, exeName)
    {
    }
    // The sample definition file and location list beside the copy.
    bool WithSamples() const
    {
        std::string source = g_programSource.substr(0, g_programSource.rfind('\\') + 1);
        return CopyFileA((source + "mdmprobe.ini").c_str(), Path("mdmprobe.ini").c_str(), FALSE) &&
               CopyFileA((source + "mdmprobe.dat").c_str(), Path("mdmprobe.dat").c_str(), FALSE);
    }
};

// "Z:\a\b" -> "/a/b": the run folder lies on Wine's drive Z:.
std::string UnixPath(const std::string& winPath)
{
    std::string path = winPath.substr(winPath.compare(0, 2, "Z:") == 0 ? 2 : 0);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// "ok" when the report at `path` is valid against the schema and holds
// every fact (check_report.py's form: "PATH = JSON", "PATH ~ JSON", "PATH
// absent"); else the failures. Wine starts Python as a Unix process whose
// end it does not report, so the verdict comes back in a file.
std::string CheckReport(const std::string& path, const std::vector<std::string>& facts)
{
    static int checks = 0;
    const std::string base = testsupport::RunDir() + "\\report-check-" + std::to_string(++checks);
    {
        std::ofstream factFile(base + ".facts", std::ios::binary);
        for (const std::string& fact : facts)
            factFile << fact << "\n";
    }
    const std::string verdictPath = base + ".verdict";
    ChildProcess python;
    if (!python.Start(g_python + " " + g_checker + " " + g_schema + " " + UnixPath(path) + " " +
                      UnixPath(base + ".facts") + " --result " + UnixPath(verdictPath)))
        return "python3 did not start";
    if (!WaitFor([&] { return testsupport::FileExists(verdictPath); }, kCheckMs))
        return "no verdict from check_report.py";
    std::string verdict = testsupport::ReadFileBytes(verdictPath);
    while (!verdict.empty() && (verdict.back() == '\n' || verdict.back() == '\r'))
        verdict.pop_back();
    return verdict == "ok" ? verdict : verdict + "\n--- report:\n" + testsupport::ReadFileBytes(path);
}

// The fact that the report's wire holds what the simulator on `port` saw.
std::string WireMatchesTranscript(const char* port)
{
    return std::string("wire matches ") + testsupport::Env(("MODEMSIM_" + std::string(port) + "_TRANSCRIPT").c_str());
}

// Keeps a copy of the report as NAME.json in the folder that
// MDMPROBE_FLEET_REPORTS names (a Unix path), when it is set: the fleet
// summary's test reads the reports of these runs.
void KeepForFleet(const std::string& path, const std::string& name)
{
    const std::string folder = testsupport::Env("MDMPROBE_FLEET_REPORTS");
    if (folder.empty())
        return;
    const std::string winFolder = testsupport::UnixToWinPath(folder);
    CreateDirectoryA(winFolder.c_str(), nullptr);
    EXPECT_TRUE(CopyFileA(path.c_str(), (winFolder + "\\" + name + ".json").c_str(), FALSE)) << name;
}

// The names in a folder.
std::set<std::string> FolderNames(const std::string& dir)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Facts of every run that was not cancelled and got its modem: the program,
// the modem on COM3 and the sample definition file's VX-56i section.
const std::vector<std::string> kFoundModemFacts = {
    "schema = 2",
    "program = {\"name\": \"mdmprobe\", \"version\": \"1.1.0.0\"}",
    "modem = {\"scan\": \"found\", \"port\": \"COM3\", \"name\": \"VX-56i\", \"firmware\": \"3.02\"}",
    "definition.path ~ \"\\\\mdmprobe.ini\"",
    "definition.section = \"VX-56i\"",
    "definition.alias = null",
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
    std::string text = "\r\nT - ERROR               : .INI File not found !\r\n";
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
    // The sheet starts with both buttons enabled; the page's activation then
    // leaves only Next, so both are waited for together.
    EXPECT_TRUE(WaitFor([&] {
        return ButtonEnabled(sheet, WizardButton::Next) && !ButtonEnabled(sheet, WizardButton::Back);
    }, 5000)) << "only Next on the welcome page";

    // Next: the modem search page with Next disabled until a modem is found,
    // and the connection options hidden.
    Press(sheet, WizardButton::Next);
    // The tab selection moves before the page itself is there: wait for a
    // control of the page.
    ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 1 && PageControl(sheet, 1028) != nullptr; }, 5000));
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
    // Without /R: no report is written.
    EXPECT_EQ((std::set<std::string>{"mdmprobe.exe", "mdmprobe.log"}), FolderNames(program.Dir()));
}

// Automatic mode over a port where nothing answers (the sample definition
// file beside the program): two pages, the scan without a modem, no test
// block, and the wizard closes by itself with -2; the report says so.
TEST(ProbeApp, PortAndLogSwitchesRunAutomaticModeWithTwoPages)
{
    ProgramCopy program("automatic");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    std::string logPath = program.Path("auto.log");
    std::string arguments = "/P:COM2 /L:" + logPath + " /R:" + program.Path("no-modem.json");
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, arguments));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";

    EXPECT_EQ(2, PageCount(sheet));
    EXPECT_EQ(0, CurrentPageIndex(sheet));
    EXPECT_NE(nullptr, PageControl(sheet, 1028)) << "the search page comes first";
    EXPECT_EQ(nullptr, PageControl(sheet, 1020)) << "no welcome page";

    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode)) << "the wizard did not close by itself";
    EXPECT_EQ(kNoModemExit, exitCode);
    std::string log = NormalizedLog(logPath);
    std::smatch header;
    ASSERT_TRUE(std::regex_search(log, header, kHeader)) << log;
    EXPECT_EQ("T - PRG-Mode            : Program started on command line\r\n"
              "T -                        -> Automatic mode ON.\r\n"
              "T - Command Line        : " + arguments + "\r\n" + kBanner +
                  "T - ===================  BEGIN PORT SCAN  ====================\r\n"
                  "T - Scanning Port       : COM2\r\n\r\n"
                  "T - ======================  DIAG TEST  =======================\r\n"
                  "T - Result of DIAG-Test : not recognized on COM2!\r\n\r\n"
                  "T - ================  RESULT OF PORT SCAN  ===================\r\n" + kNoModem,
              header.suffix().str());
    EXPECT_FALSE(testsupport::FileExists(program.Path("mdmprobe.log")))
        << "the /L: name replaces the default log";

    std::vector<std::string> facts = {
        "mode = \"automatic\"", "log ~ \"\\\\auto.log\"", "commandLine ~ \"/P:COM2 /L:\"",
        "status = {\"code\": -2, \"meaning\": \"no modem found\", \"failed\": []}",
        "modem = {\"scan\": \"no modem\", \"port\": \"COM2\", \"name\": null, \"firmware\": null}",
        "definition.section = null"};
    for (int test = 0; test < 5; ++test) {
        facts.push_back("tests." + std::to_string(test) + ".result = \"not run\"");
        facts.push_back("tests." + std::to_string(test) + ".reason = \"no modem\"");
    }
    facts.push_back(WireMatchesTranscript("COM2"));
    EXPECT_EQ("ok", CheckReport(program.Path("no-modem.json"), facts));
    KeepForFleet(program.Path("no-modem.json"), "no-modem");
}

// Also: a report that cannot be written (its name is a folder) changes
// neither the exit code nor the log, but for one line at its end; it shows
// no window (a box nobody answers would keep the run from ending) and
// leaves no temporary file.
TEST(ProbeApp, AutomaticModeWithoutLogSwitchLogsNextToTheProgramUnderItsName)
{
    ProgramCopy program("defaultlog", "ModemCheck.exe");
    ASSERT_TRUE(program.Copied());
    ASSERT_TRUE(CreateDirectoryA(program.Path("reports").c_str(), nullptr));
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM2 /R:reports"));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode)) << "the wizard did not close by itself";
    EXPECT_EQ(kNoModemExit, exitCode);

    std::string log = NormalizedLog(program.Path("ModemCheck.log"));
    std::smatch header;
    ASSERT_TRUE(std::regex_search(log, header, kHeader)) << log;
    EXPECT_EQ("T - PRG-Mode            : Program started on command line\r\n"
              "T -                        -> Automatic mode ON.\r\n"
              "T - Command Line        : /P:COM2 /R:reports" + ScanWithoutDefinitionFile("COM2") +
                  "T - Result report       : not written to " + program.Path("reports") + " (error 5) !\r\n",
              header.suffix().str());
    EXPECT_EQ((std::set<std::string>{"ModemCheck.exe", "ModemCheck.log", "reports"}), FolderNames(program.Dir()));
    EXPECT_TRUE(FolderNames(program.Path("reports")).empty());
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

// Cancel while the automatic run scans: -5, the cancel line last in the log,
// and a report that says the scan was stopped and nothing was tested.
TEST(ProbeApp, AutomaticRunCancelledDuringTheScanReportsIt)
{
    ProgramCopy program("autocancel");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM2 /R:cancel.json"));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";
    // The scan waits up to 10 s for the diagnostic command's answer.
    ASSERT_TRUE(WaitForLog(program.Path("mdmprobe.log"), "T - Scanning Port       : COM2\r\n"));
    Press(sheet, WizardButton::Cancel);
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(kCancelledExit, exitCode);
    const std::string log = NormalizedLog(program.Path("mdmprobe.log"));
    const std::string cancel = "T - PRG-Message         : Program canceled by user !";
    EXPECT_EQ(cancel, log.substr(log.size() - std::min(log.size(), cancel.size()))) << log;

    std::vector<std::string> facts = {
        "mode = \"automatic\"", "commandLine = \"/P:COM2 /R:cancel.json\"",
        "status = {\"code\": -5, \"meaning\": \"cancelled by the user\", \"failed\": []}",
        "modem = {\"scan\": \"stopped\", \"port\": \"COM2\", \"name\": null, \"firmware\": null}"};
    for (int test = 0; test < 5; ++test)
        facts.push_back("tests." + std::to_string(test) + ".reason = \"cancelled\"");
    facts.push_back(WireMatchesTranscript("COM2"));
    EXPECT_EQ("ok", CheckReport(program.Path("cancel.json"), facts));
    KeepForFleet(program.Path("cancel.json"), "cancelled");
}

// ---- Test runs against the simulated VX-56i ------------------------------------

std::string g_expectedDir;  // Windows path of the folder with the expected logs

const DWORD kRunMs = 60000;
const char kNumber[] = "0305550100";

// Registers the VX-56i as an installed Windows modem, as its driver would.
void RegisterModem()
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                              "SYSTEM\\CurrentControlSet\\Control\\Class\\"
                              "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000",
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const char model[] = "Vantor VX-56i PCI Modem";
    RegSetValueExA(key, "Model", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model));
    RegCloseKey(key);
}

// The log as text lines: time prefixes "T - ", the date <DATE>, the program's
// folder <DIR>, CR LF line ends as line feeds and any other CR as "\r".
std::string LogLines(const std::string& path, const ProgramCopy& program)
{
    std::string text = NormalizedLog(path);
    text = std::regex_replace(text, std::regex("LOGFILE [01][0-9]/[0-3][0-9]/20[0-9]{2} ="), "LOGFILE <DATE> =");
    for (size_t at; (at = text.find(program.Dir())) != std::string::npos;)
        text.replace(at, program.Dir().size(), "<DIR>");
    text = std::regex_replace(text, std::regex("\r\n"), "\n");
    return std::regex_replace(text, std::regex("\r"), "\\r");
}

// A run with everything passing: the whole log, from the header to the end.
std::string ExpectedPassingLog()
{
    return testsupport::ReadFileBytes(g_expectedDir + "\\automatic-pass.log");
}

struct AutoRun
{
    const char* name;
    bool registered;  // the modem is installed as a Windows modem
    bool report;      // with /R:report.json
    DWORD exitCode;   // the run status
    // What differs from the passing run's log: regular expressions, each
    // matching once, and their replacements.
    std::vector<std::pair<const char*, const char*>> changes;
    // What its report holds besides kFoundModemFacts and the passing run's
    // facts of the tests that pass (kPassingFacts).
    std::vector<std::string> facts;
};

// The passing run's facts of each test, by test (left out for the test a
// run fails).
const std::vector<std::string> kPassingFacts[] = {
    {"tests.0 = {\"test\": \"tapi\", \"result\": \"passed\", \"tapiName\": \"Vantor VX-56i PCI Modem\"}"},
    {"tests.1 = {\"test\": \"ram\", \"result\": \"passed\", \"command\": \"AT*RAM\", "
     "\"answer\": \"\\r\\nRAM 512K TESTED\\r\\n\\r\\nOK\\r\\n\"}"},
    {"tests.2 = {\"test\": \"crc\", \"result\": \"passed\", \"command\": \"AT*CRC\", "
     "\"answer\": \"\\r\\nCRC 5A3C PASSED\\r\\n\\r\\nOK\\r\\n\"}"},
    {"tests.3.result = \"passed\"", "tests.3.command = \"ATDTW0305550100\"",
     "tests.3.answer = \"CONNECT 33600/V42\\r\"",
     "tests.3.call = {\"number\": \"0305550100\", \"result\": \"CONNECT\", \"speed\": 33600, "
     "\"minSpeed\": 28800, \"connectTime\": 3000}"},
    // The VX-56i's report: DIAG <5631 1=F 2=8340 3="V.34 33600" 4=1 5=17 6=0>.
    {"tests.4.result = \"passed\"", "tests.4.command = \"AT*DIAG\"", "tests.4.answer ~ \"DIAG <5631 \"",
     "tests.4.report.0.token = \"5631\"", "tests.4.report.0.fields.0.bitmap = 15",
     "tests.4.report.0.fields.0.bits.4 = {\"bit\": 4, \"set\": false, \"name\": \"Remote loopback\"}",
     "tests.4.report.0.fields.1 = {\"key\": 2, \"form\": \"number\", \"raw\": \"8340\", "
     "\"definition\": \"Connect speed\", \"unit\": \"bps\", \"number\": 33600}",
     "tests.4.report.0.fields.2.string = \"V.34 33600\"", "tests.4.report.0.fields.3.meaning = \"Local hang-up\"",
     "tests.4.report.0.fields.5.number = 0", "tests.4.report.1 absent"},
};

const AutoRun kAutoRuns[] = {
    {"AllPass", true, true, 0, {}, {"status = {\"code\": 0, \"meaning\": \"all tests passed\", \"failed\": []}"}},
    // The same run without /R:: the same log and exit code, and no report.
    {"AllPassWithoutReport", true, false, 0, {}, {}},
    {"NotInstalled", false, true, 1, {{"Modem found on TAPI", "Modem NOT found on TAPI"}},
     {"status = {\"code\": 1, \"meaning\": \"failed: installed modem\", \"failed\": [\"tapi\"]}",
      "tests.0 = {\"test\": \"tapi\", \"result\": \"failed\", \"tapiName\": \"Vantor VX-56i PCI Modem\"}"}},
    {"RamFault", true, true, 2,
     {{"RAM 512K TESTED\\\\r\nT - \\\\r\nT - OK", "RAM 512K FAULT AT 01F0\\r\nT - \\r\nT - ERROR"},
      {"Ram-Test OK\\.", "Ram-Test not OK !"}},
     {"status.failed = [\"ram\"]", "tests.1.result = \"failed\"",
      "tests.1.answer = \"\\r\\nRAM 512K FAULT AT 01F0\\r\\n\\r\\nERROR\\r\\n\""}},
    {"CrcFault", true, true, 4,
     {{"CRC 5A3C PASSED", "CRC 5A3C FAILED"}, {"CRC-Check OK\\.", "CRC-Check not OK !"}},
     {"status.failed = [\"crc\"]", "tests.2.result = \"failed\"", "tests.2.answer ~ \"CRC 5A3C FAILED\""}},
    {"CallFault", true, true, 8,
     {{"CONNECT 33600/V42\\\\r\nT - Result of DIAL-Test : Connection OK !\n[\\s\\S]*DiagnosticTest OK\\.",
       "\\r\nT - BUSY\\r\n\nT - Result of DIAL-Test : Connection not OK !\n\n"
       "T - ======================  DIAG TEST  =======================\n"
       "T - Result of DIAG-Test : not tested because NO CONNECTION !"}},
     {"status = {\"code\": 8, \"meaning\": \"failed: test call\", \"failed\": [\"dial\"]}",
      "tests.3.result = \"failed\"", "tests.3.answer = \"\\r\\nBUSY\\r\\n\"",
      "tests.3.call = {\"number\": \"0305550100\", \"result\": \"BUSY\", \"speed\": null, "
      "\"minSpeed\": 28800, \"connectTime\": 3000}",
      "tests.4 = {\"test\": \"diag\", \"result\": \"not run\", \"reason\": \"call failed\"}"}},
    {"DiagFault", true, true, 16,
     {{"(Connection OK !\n\nT - =+  DIAG TEST  =+\n)[\\s\\S]*DiagnosticTest OK\\.",
       "$1T - Result of DIAG-Test : not recognized on COM3!\n"
       "T - Result of DIAG-Test : DiagnosticTest not OK !"}},
     {"status.failed = [\"diag\"]", "tests.4.result = \"failed\"", "tests.4.command = \"AT*DIAG\"",
      "tests.4.report absent"}},
};

void PrintTo(const AutoRun& run, std::ostream* out)
{
    *out << run.name;
}

class AutomaticRun : public testing::TestWithParam<AutoRun>
{
};

// The report of an automatic run: the modem, every test's outcome, and the
// wire exactly as the simulator saw it.
void CheckAutomaticReport(const AutoRun& run, const ProgramCopy& program)
{
    std::vector<std::string> facts = kFoundModemFacts;
    facts.push_back("mode = \"automatic\"");
    facts.push_back("status.code = " + std::to_string(run.exitCode));
    // A test passed unless its bit is set, or (the readout) the call failed.
    for (int test = 0; test < 5; ++test) {
        const bool failed = (run.exitCode & (1u << test)) != 0 || (test == 4 && (run.exitCode & 8) != 0);
        if (!failed)
            facts.insert(facts.end(), kPassingFacts[test].begin(), kPassingFacts[test].end());
    }
    facts.insert(facts.end(), run.facts.begin(), run.facts.end());
    facts.push_back(WireMatchesTranscript("COM3"));
    EXPECT_EQ("ok", CheckReport(program.Path("report.json"), facts));
    KeepForFleet(program.Path("report.json"), run.name);
}

// mdmprobe.exe /P:COM3 /T:<number> /L:<log> /R:report.json runs the scan
// and the tests by itself and closes; its exit code is the run status, its
// report (beside the program) tells every test's outcome.
TEST_P(AutomaticRun, LogsEveryTestAndSetsOnlyTheFailedBits)
{
    const AutoRun& run = GetParam();
    if (run.registered)
        RegisterModem();
    ProgramCopy program(run.name);
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, std::string("/P:COM3 /T:") + kNumber + " /L:" + program.Path("auto.log") +
                                         (run.report ? " /R:report.json" : "")));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kRunMs, &exitCode)) << "the wizard did not close by itself";
    EXPECT_EQ(run.exitCode, exitCode);
    EXPECT_EQ(run.report, testsupport::FileExists(program.Path("report.json")));
    if (run.report)
        CheckAutomaticReport(run, program);

    std::string expected = ExpectedPassingLog();
    ASSERT_FALSE(expected.empty());
    // Without /R: the log differs only by the command line it quotes.
    if (!run.report)
        expected = std::regex_replace(expected, std::regex(" /R:report\\.json"), "");
    for (const auto& [pattern, replacement] : run.changes) {
        const std::regex change(pattern);
        ASSERT_EQ(1, std::distance(std::sregex_iterator(expected.begin(), expected.end(), change),
                                   std::sregex_iterator()))
            << pattern;
        expected = std::regex_replace(expected, change, replacement);
    }
    EXPECT_EQ(expected, LogLines(program.Path("auto.log"), program));
}

INSTANTIATE_TEST_SUITE_P(Runs, AutomaticRun, testing::ValuesIn(kAutoRuns),
                         [](const testing::TestParamInfo<AutoRun>& info) { return info.param.name; });

// A modem with echo off: the scan's identifying commands go one character
// at a time against their echo and are begun again and again, so the wire
// shows a command's first character eleven times over, each alone, with
// nothing coming back; the modem is not found.
TEST(ProbeApp, EchoOffModemShowsTheRepeatedFirstCharacterOnTheWire)
{
    ProgramCopy program("echooff");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM3 /R:echo.json"));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(2 * kRunMs, &exitCode)) << "the wizard did not close by itself";
    EXPECT_EQ(kNoModemExit, exitCode);
    EXPECT_EQ("ok", CheckReport(program.Path("echo.json"),
                                {"wire out ~ \"AAAAAAAAAAA\"", WireMatchesTranscript("COM3")}));
}

// A modem that floods from its checksum command on: the wire keeps within
// its bound, says how many bytes it dropped, and keeps the newest.
TEST(ProbeApp, FloodingModemKeepsTheWireWithinItsBound)
{
    RegisterModem();
    ProgramCopy program("flood");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM3 /R:flood.json"));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kRunMs, &exitCode)) << "the wizard did not close by itself";
    EXPECT_EQ(4u, exitCode) << "the checksum test fails under the flood";
    EXPECT_EQ("ok", CheckReport(program.Path("flood.json"),
                                {"wire.limit = 262144", "wire bounded", "wire in ~ \"0123456789abcdef0123\"",
                                 "tests.2.result = \"failed\""}));
}

// A modem whose name has no section in the definition file: the automatic
// run shows the "No TapiModemName" box, which closes by itself, and runs the
// tests with the Common values; only the TAPI test fails (no TAPI name).
TEST(ProbeApp, UnknownModelNeverHoldsTheAutomaticRun)
{
    RegisterModem();
    ProgramCopy program("unknownmodel");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM3 /L:" + program.Path("auto.log")));
    std::string box;
    DWORD exitCode = 0;
    const bool ended = WaitFor(
        [&] {
            if (HWND dialog = FindDialog(child.Id()))
                box = DialogText(dialog);
            return child.Wait(0, &exitCode);
        },
        kRunMs);
    if (!ended)
        child.Kill();
    ASSERT_TRUE(ended) << "the run waits on a box nobody closes";
    EXPECT_EQ("VX-99 : No TapiModemName for this section !", box);
    EXPECT_EQ(1u, exitCode);
    const std::string log = LogLines(program.Path("auto.log"), program);
    EXPECT_NE(std::string::npos, log.find("\nT - Detected modem      : VX-99 (COM3)\n")) << log;
    EXPECT_NE(std::string::npos, log.find("\nT - Result of RAM-Test  : Ram-Test OK.\n")) << log;
    EXPECT_NE(std::string::npos, log.find("END OF EMI")) << log;
}

// A modem of the family that answers the name queries with a bare OK: the
// automatic run identifies it with an empty name, shows the box for the
// missing section (answered here), and tests it with the Common values.
TEST(ProbeApp, ModemWithoutNameIsTestedWithTheCommonValues)
{
    ProgramCopy program("noname");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, "/P:COM3 /R:report.json"));
    HWND box = WaitForDialog(child.Id(), kEndMs);
    ASSERT_NE(nullptr, box) << "no message box";
    EXPECT_EQ(" : No TapiModemName for this section !", DialogText(box));
    ASSERT_TRUE(PressDialogButton(box, FindDialogButton(box, "OK")));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kRunMs, &exitCode)) << "the wizard did not close by itself";
    // No TAPI name to look for; AT*RAM and AT*CRC get ERROR, which holds no
    // "FAULT" (passed) and no "PASSED" (failed).
    EXPECT_EQ(5u, exitCode);

    const std::string log = LogLines(program.Path("mdmprobe.log"), program);
    EXPECT_NE(std::string::npos, log.find("T - Detected modem      :  (COM3)\n")) << log;
    EXPECT_NE(std::string::npos, log.find("START OF THE MODEM TESTS")) << log;
    EXPECT_EQ("ok", CheckReport(program.Path("report.json"),
                                {"modem = {\"scan\": \"found\", \"port\": \"COM3\", \"name\": null, "
                                 "\"firmware\": \"3.10\"}",
                                 "status.code = 5"}));
}

// The test block of a log: from the rule line above `title` to the rule line
// below the END OF EMI banner.
std::string TestBlock(const std::string& log, const std::string& title)
{
    const std::string rule = "T - " + std::string(58, '=') + "\n";
    size_t start = log.rfind(rule, log.find(title));
    size_t end = log.find(rule, log.find("END OF EMI", start));
    if (start == std::string::npos || end == std::string::npos)
        return "<no test block " + title + ">";
    return log.substr(start, end + rule.size() - start);
}

// The interactive run with everything passing writes the automatic run's
// block with these differences (besides the number dialled).
const std::pair<const char*, const char*> kInteractiveTexts[] = {
    {"================  START OF THE MODEM TESTS  ==============",
     "===================== BEGIN MODEM TESTS =================="},
    {"======================  RAM  TEST  =======================",
     "=======================  RAM  TEST  ======================"},
    // The checksum answer goes to the log raw, without time prefixes.
    {"T - CRC 5A3C PASSED\\r\nT - \\r\nT - OK\\r\n", "CRC 5A3C PASSED\\r\n\\r\nOK\\r\n"},
    {"ATDTW0305550100", "ATDTW0895550100"},
};

HWND ResultList(HWND sheet)
{
    return PageControl(sheet, 1);
}

LRESULT Marks(HWND sheet, int item)
{
    return SendMessageA(ResultList(sheet), RLM_GETMARKS, static_cast<WPARAM>(item), 0);
}

// Welcome, search with a test call to the second location, a run with every
// test passing, its log in Notepad; Back and a second run stopped by Back
// during the memory test; then cancel. "/R:" alone keeps the run interactive;
// its relative name lies in the program's folder, not the working folder,
// and the report holds the second, stopped run.
TEST(ProbeApp, InteractiveRunShowsMarksVerdictAndStopsOnBack)
{
    RegisterModem();
    ProgramCopy program("interactiverun");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(child.Start("\"" + program.Exe() + "\" /R:interactive.json", testsupport::RunDir()));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";
    ASSERT_TRUE(WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Next); }, 5000));
    Press(sheet, WizardButton::Next);

    // The scan finds the modem; the options show, enabled by the check box.
    ASSERT_TRUE(WaitFor([&] { return ControlText(sheet, 1022) == "Press \"Next\" to test the modem found." &&
                                     ButtonEnabled(sheet, WizardButton::Next); }, kEndMs));
    EXPECT_EQ("COM3", ControlText(sheet, 1028));
    EXPECT_EQ("VX-56i", ControlText(sheet, 1030));
    EXPECT_TRUE(IsShown(PageControl(sheet, 1036)) && !IsChecked(PageControl(sheet, 1036)));
    const int options[] = {1062, 1063, 1041, 1042, 1066, 1033, 1044, 1031, 1035};
    for (int id : options)
        EXPECT_TRUE(IsShown(PageControl(sheet, id)) && !IsEnabled(PageControl(sheet, id))) << id;
    ASSERT_TRUE(Click(sheet, 1036));
    for (int id : options)
        EXPECT_TRUE(IsEnabled(PageControl(sheet, id))) << id;
    EXPECT_EQ("0305550100", ControlText(sheet, 1035)) << "the first location";
    ASSERT_TRUE(SelectComboItem(sheet, 1044, 1));
    EXPECT_EQ("0895550100", ControlText(sheet, 1035));

    // A test call and a diagnostic command: five items, all passed.
    Press(sheet, WizardButton::Next);
    ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 2 && ResultList(sheet) != nullptr; }, 5000));
    EXPECT_EQ(5, SendMessageA(ResultList(sheet), RLM_GETCOUNT, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Finish); }, kRunMs));
    for (int item = 0; item < 5; ++item)
        EXPECT_EQ(RL_MARK_PASSED, Marks(sheet, item)) << item;
    EXPECT_EQ("All modem tests have been completed successfully.", ControlText(sheet, 1022));
    EXPECT_TRUE(IsShown(PageControl(sheet, 1075)));
    EXPECT_FALSE(IsShown(PageControl(sheet, 1076)));
    EXPECT_TRUE(IsEnabled(PageControl(sheet, 1071)));
    EXPECT_TRUE(ButtonEnabled(sheet, WizardButton::Back));
    EXPECT_FALSE(IsEnabled(ButtonWindow(sheet, WizardButton::Cancel)));

    // "View logfile" shows the log in Notepad.
    ASSERT_TRUE(Click(sheet, 1071));
    HWND notepad = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (notepad = FindWindowA("Notepad", nullptr)) != nullptr; }, kEndMs));
    EXPECT_NE(std::string::npos, Text(notepad).find("mdmprobe.log")) << Text(notepad);
    PostMessageA(notepad, WM_CLOSE, 0, 0);

    // Back keeps the modem. A second run, stopped during the memory test
    // (Back is disabled while the tests run; a press reaches it once enabled).
    Press(sheet, WizardButton::Back);
    ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 1 && ButtonEnabled(sheet, WizardButton::Next); },
                        5000));
    Press(sheet, WizardButton::Next);
    ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 2 && Marks(sheet, 1) == RL_MARK_CURRENT; },
                        kEndMs));
    EnableWindow(ButtonWindow(sheet, WizardButton::Back), TRUE);
    Press(sheet, WizardButton::Back);
    const DWORD backAt = GetTickCount();
    EXPECT_TRUE(WaitFor([&] { return CurrentPageIndex(sheet) == 1 && ControlText(sheet, 1030) == "VX-56i" &&
                                     ButtonEnabled(sheet, WizardButton::Next); }, kEndMs));
    EXPECT_LT(GetTickCount() - backAt, 2500u) << "the stopped run ends at once";

    Press(sheet, WizardButton::Cancel);
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kEndMs, &exitCode));
    EXPECT_EQ(kCancelledExit, exitCode);
    std::string expected = TestBlock(ExpectedPassingLog(), "START OF THE MODEM TESTS");
    for (const auto& [automatic, interactive] : kInteractiveTexts) {
        ASSERT_NE(std::string::npos, expected.find(automatic)) << automatic;
        expected.replace(expected.find(automatic), std::strlen(automatic), interactive);
    }
    const std::string log = LogLines(program.Path("mdmprobe.log"), program);
    EXPECT_EQ(expected, TestBlock(log, "BEGIN MODEM TESTS"));
    const std::string cancel = "\nT - PRG-Message         : Program canceled by user !";
    EXPECT_EQ(cancel, log.substr(log.size() - std::min(log.size(), cancel.size())));

    EXPECT_FALSE(testsupport::FileExists(testsupport::RunDir() + "\\interactive.json"));
    std::vector<std::string> facts = kFoundModemFacts;
    facts.insert(facts.end(), {
        "mode = \"interactive\"", "commandLine = \"/R:interactive.json\"",
        "status = {\"code\": -5, \"meaning\": \"cancelled by the user\", \"failed\": []}",
        "tests.0.result = \"passed\"",
        "tests.1 = {\"test\": \"ram\", \"result\": \"not run\", \"reason\": \"cancelled\"}",
        "tests.2.reason = \"cancelled\"", "tests.3.reason = \"cancelled\"", "tests.4.reason = \"cancelled\""});
    EXPECT_EQ("ok", CheckReport(program.Path("interactive.json"), facts));
}

// What the PC sent after the dial command (the first "dial" event).
std::string SentAfterDialling(const testsupport::ModemTranscript& transcript)
{
    std::string sent;
    bool dialled = false;
    for (const testsupport::TranscriptEntry& e : transcript.Entries()) {
        if (e.kind == '#' && e.text.rfind("dial ", 0) == 0)
            dialled = true;
        else if (e.kind == '<' && dialled)
            sent += e.text;
    }
    return sent;
}

testsupport::ModemTranscript LoadTranscript()
{
    testsupport::ModemTranscript transcript;
    transcript.Load(testsupport::Env("MODEMSIM_COM3_TRANSCRIPT"));
    return transcript;
}

// The modem connects with a bare CONNECT, so the program goes on waiting for
// a call result; Cancel two seconds into that wait ends the program within
// 5 s, with the call hung up first.
TEST(ProbeApp, CancelDuringTheTestCallHangsUpAndEndsAtOnce)
{
    RegisterModem();
    ProgramCopy program("cancelcall");
    ASSERT_TRUE(program.Copied() && program.WithSamples());
    ChildProcess child;
    ASSERT_TRUE(program.Start(child, ""));
    HWND sheet = WaitForWizard(child.Id(), kStartMs);
    ASSERT_NE(nullptr, sheet) << "no wizard appeared";
    ASSERT_TRUE(WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Next); }, 5000));
    Press(sheet, WizardButton::Next);
    ASSERT_TRUE(WaitFor([&] { return ControlText(sheet, 1022) == "Press \"Next\" to test the modem found." &&
                                     ButtonEnabled(sheet, WizardButton::Next); }, kEndMs));
    ASSERT_TRUE(Click(sheet, 1036));
    Press(sheet, WizardButton::Next);

    ASSERT_TRUE(WaitFor([] { return !LoadTranscript().Events("dial ").empty(); }, kRunMs)) << "no call";
    Sleep(2000);
    EXPECT_EQ("", SentAfterDialling(LoadTranscript())) << "nothing ends the call before the cancel";
    Press(sheet, WizardButton::Cancel);
    const DWORD cancelAt = testsupport::PreciseMs();
    DWORD exitCode = 0;
    const bool ended = child.Wait(5000, &exitCode);
    std::printf("cancel to the end of the program: %lu ms\n", testsupport::PreciseMsSince(cancelAt));
    if (!ended)
        child.Kill();
    ASSERT_TRUE(ended) << "still running 5 s after the cancel";
    EXPECT_EQ(kCancelledExit, exitCode);

    const testsupport::ModemTranscript transcript = LoadTranscript();
    EXPECT_EQ("+++ATH\r", SentAfterDialling(transcript));
    EXPECT_EQ(1u, transcript.Events("escape").size());
    EXPECT_EQ(1u, transcript.Events("hangup").size()) << "the connection was released";

    // The stopped run finishes its block as any run does; the cancel line
    // comes last.
    const std::string log = LogLines(program.Path("mdmprobe.log"), program);
    const std::string tail = "T - Result of DIAL-Test : Connection not OK !\n\n"
                             "T - ======================  DIAG TEST  =======================\n"
                             "T - Result of DIAG-Test : not tested because NO CONNECTION !\n\n"
                             "T - " + std::string(58, '=') + "\n"
                             "T - =======================  END OF EMI  =====================\n"
                             "T - " + std::string(58, '=') + "\n"
                             "T - PRG-Message         : Program canceled by user !";
    EXPECT_EQ(tail, log.substr(log.size() - std::min(log.size(), tail.size()))) << log;
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 6) {
        fprintf(stderr, "usage: probeapp_e2e_test <mdmprobe.exe> <folder of expected logs> <python3> "
                        "<check_report.py> <report.schema.json> (Unix paths)\n");
        return 2;
    }
    g_programSource = testsupport::UnixToWinPath(argv[1]);
    g_expectedDir = testsupport::UnixToWinPath(argv[2]);
    g_python = testsupport::UnixToWinPath(argv[3]);
    g_checker = argv[4];
    g_schema = argv[5];
    return RUN_ALL_TESTS();
}
