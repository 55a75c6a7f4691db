// The result report's text: times, status meanings, where a relative name
// goes, and whole reports of made-up runs, each validated against
// mdmprobe/report.schema.json by Python's jsonschema (check_report.py) and
// checked for the facts of its run.
#include "RunReport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TEST(RunReport, TimesCarryTheLocalOffset)
{
    EXPECT_EQ("2005-01-20T14:03:09+01:00", FormatIsoTime(2005, 1, 20, 14, 3, 9, 60));
    EXPECT_EQ("2026-12-31T23:59:59-03:30", FormatIsoTime(2026, 12, 31, 23, 59, 59, -210));
    EXPECT_EQ("2000-02-29T00:00:00+00:00", FormatIsoTime(2000, 2, 29, 0, 0, 0, 0));
    EXPECT_EQ("1999-07-04T08:15:00+05:45", FormatIsoTime(1999, 7, 4, 8, 15, 0, 345));
}

TEST(RunReport, StatusMeaningsFollowTheExitCodeTable)
{
    EXPECT_EQ("all tests passed", StatusMeaning(0, true));
    EXPECT_EQ("nothing was tested", StatusMeaning(0, false));
    EXPECT_EQ("failed: installed modem", StatusMeaning(1, true));
    EXPECT_EQ("a modem was found but the tests did not run", StatusMeaning(1, false));
    EXPECT_EQ("failed: memory, checksum", StatusMeaning(6, true));
    EXPECT_EQ("failed: installed modem, memory, checksum, test call, diagnostic readout",
              StatusMeaning(31, true));
    EXPECT_EQ("no modem found", StatusMeaning(-2, false));
    EXPECT_EQ("cancelled by the user", StatusMeaning(-5, true));
    EXPECT_EQ("unknown status", StatusMeaning(32, true));
    EXPECT_EQ("unknown status", StatusMeaning(-1, false));
}

TEST(RunReport, RelativeNamesLieInTheProgramsFolder)
{
    const std::string program = "C:\\Program Files\\Vantor\\mdmprobe.exe";
    EXPECT_EQ("C:\\Program Files\\Vantor\\run.json", ReportPathFor("run.json", program));
    EXPECT_EQ("C:\\Program Files\\Vantor\\out\\run.json", ReportPathFor("out\\run.json", program));
    EXPECT_EQ("C:\\Program Files\\Vantor\\..\\run.json", ReportPathFor("..\\run.json", program));
    for (const char* kept : {"D:\\reports\\run.json", "d:run.json", "\\reports\\run.json",
                             "\\\\server\\share\\run.json"})
        EXPECT_EQ(kept, ReportPathFor(kept, program));
    EXPECT_EQ("run.json", ReportPathFor("run.json", "mdmprobe.exe"));
    EXPECT_EQ("1:run.json", ReportPathFor("1:run.json", "")) << "no program folder known";
}

// ---- Whole reports, checked by Python ------------------------------------------

class RunReportFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/reporttestXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(dir));
        dir_ = dir;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    // "ok" when the report is valid and every fact (check_report.py's form)
    // holds; else the failures.
    std::string Check(const RunReport& report, const std::vector<std::string>& facts)
    {
        const std::string text = FormatRunReport(report);
        std::ofstream(dir_ + "/report.json", std::ios::binary) << text;
        std::ofstream factFile(dir_ + "/facts.txt", std::ios::binary);
        for (const std::string& fact : facts)
            factFile << fact << "\n";
        factFile.close();
        const std::string command = std::string(PYTHON3 " " CHECK_REPORT " " REPORT_SCHEMA " '") + dir_ +
                                    "/report.json' '" + dir_ + "/facts.txt' > '" + dir_ + "/verdict.txt' 2>&1";
        const int rc = std::system(command.c_str());
        std::ifstream in(dir_ + "/verdict.txt");
        std::stringstream verdict;
        verdict << in.rdbuf();
        std::string result = verdict.str();
        while (!result.empty() && result.back() == '\n')
            result.pop_back();
        if ((rc == 0) != (result == "ok"))
            return "exit code " + std::to_string(rc) + " with: " + result;
        return result == "ok" ? result : result + "\n--- report:\n" + text;
    }

    std::string dir_;
};

RunReport Started(bool automatic)
{
    RunReport r;
    r.programName = "mdmprobe";
    r.programVersion = "1.1.0.0";
    r.started = "2026-03-01T10:00:00+01:00";
    r.ended = "2026-03-01T10:00:12+01:00";
    r.commandLine = automatic ? "/P:COM3 /T:0305550100 /R:run.json" : "/R:run.json";
    r.automatic = automatic;
    r.computerName = "DESK-7";
    r.logPath = "C:\\Tools\\mdmprobe.log";
    r.definitionPath = "C:\\Tools\\mdmprobe.ini";
    return r;
}

// The identified VX-56e Rev.B (through its Alias) on COM3.
void Identified(RunReport& r)
{
    r.scan = ScanOutcome::Found;
    r.port = "COM3";
    r.modemName = "VX-56e Rev.B";
    r.firmwareVersion = "3.02";
    r.tapiName = "Vantor VX-56e External Modem";
    r.section = "VX-56e";
    r.alias = "VX-56e";
}

void Ran(RunReport& r, int test, TestOutcome outcome, const std::string& command, const std::string& answer)
{
    r.testsRan = true;
    r.tests[test].outcome = outcome;
    r.tests[test].sent = !command.empty();
    r.tests[test].command = command;
    r.tests[test].answer = answer;
}

// The end-to-end runs against the simulated modem cover the passing run,
// each failing test, no modem and cancels; these are the forms they do not
// reach: an Alias, every form of diagnostic field, a call without a final
// result, a readout without a report, no number, no diagnostic command.
TEST_F(RunReportFile, AliasAndEveryFormOfDiagnosticField)
{
    RunReport r = Started(true);
    Identified(r);
    Ran(r, kTestTapi, TestOutcome::Passed, "", "");
    Ran(r, kTestRam, TestOutcome::Passed, "AT*RAM", "\r\nOK\r\n");
    Ran(r, kTestCrc, TestOutcome::Passed, "AT*CRC", "\r\nPASSED\r\n");
    Ran(r, kTestDial, TestOutcome::Passed, "ATDTW0305550100", "CONNECT 33600/V42\r");
    r.call = CallReport{"0305550100", "CONNECT", true, 33600, 28800, 3000};
    const std::string report = "\r\nDIAG <5631 1=5 3=\"V.34\" 4=9 6=3 20=\"a b\" 21=7>\r\nDIAG <5632>\r\n";
    Ran(r, kTestDiag, TestOutcome::Passed, "AT*DIAG", report);
    r.diagRecords = DecodeDiagRecords(
        LoadDiagKeys({"1-definition=Line state", "1-unit=Bitmap", "1-0=Carrier detected", "1-1=Synchronised",
                      "3-definition=Modulation", "3-unit=String", "4-definition=Reason", "4-unit=code",
                      "4-1=Local hang-up", "6-definition=Flags", "6-unit=Bitmap"}),
        report);

    EXPECT_EQ("ok", Check(r, {
        "definition = {\"path\": \"C:\\\\Tools\\\\mdmprobe.ini\", \"section\": \"VX-56e\", \"alias\": \"VX-56e\"}",
        "modem.name = \"VX-56e Rev.B\"",
        "tests.4.report.1 = {\"token\": \"5632\", \"fields\": []}",
        // Bits set or named: 0 (set, named), 1 (named), 2 (set).
        "tests.4.report.0.fields.0 = {\"key\": 1, \"form\": \"bitmap\", \"raw\": \"5\", \"definition\": \"Line state\", "
        "\"unit\": \"Bitmap\", \"bitmap\": 5, \"bits\": [{\"bit\": 0, \"set\": true, \"name\": \"Carrier detected\"}, "
        "{\"bit\": 1, \"set\": false, \"name\": \"Synchronised\"}, {\"bit\": 2, \"set\": true, \"name\": null}]}",
        "tests.4.report.0.fields.1.raw = \"\\\"V.34\\\"\"",
        "tests.4.report.0.fields.2 = {\"key\": 4, \"form\": \"coded\", \"raw\": \"9\", \"definition\": \"Reason\", "
        "\"unit\": \"code\", \"number\": 9, \"meaning\": null}",
        "tests.4.report.0.fields.3.bits = [{\"bit\": 0, \"set\": true, \"name\": null}, "
        "{\"bit\": 1, \"set\": true, \"name\": null}]",
        "tests.4.report.0.fields.4 = {\"key\": 32, \"form\": \"undescribed\", \"raw\": \"\\\"a b\\\"\"}",
        "tests.4.report.0.fields.5 = {\"key\": 33, \"form\": \"undescribed\", \"raw\": \"7\"}",
    }));

    // A call that brought no final result, and a readout the modem did not answer.
    r.call = CallReport{"555", "", false, 0, 0, 2000};
    Ran(r, kTestDiag, TestOutcome::Failed, "AT*DIAG", "");
    r.status = 16;
    EXPECT_EQ("ok", Check(r, {"tests.3.call.result = null", "tests.3.call.speed = null",
                              "tests.4.result = \"failed\"", "tests.4.report absent",
                              "status.failed = [\"diag\"]"}));

    // No number, then no diagnostic command.
    r.tests[kTestDial] = TestReport();
    r.tests[kTestDial].reason = kReasonNoNumber;
    r.tests[kTestDiag] = TestReport();
    r.tests[kTestDiag].reason = kReasonNoNumber;
    r.status = 0;
    EXPECT_EQ("ok", Check(r, {"tests.3 = {\"test\": \"dial\", \"result\": \"not run\", \"reason\": \"no number\"}",
                              "tests.4.reason = \"no number\""}));
    Ran(r, kTestDial, TestOutcome::Passed, "ATDT1", "CONNECT 33600/V42\r");
    r.tests[kTestDial].reason.clear();
    r.tests[kTestDiag].reason = kReasonNoCommand;
    EXPECT_EQ("ok", Check(r, {"tests.3.result = \"passed\"", "tests.4.reason = \"no command\""}));
}

// What the modem and the machine hand over is bytes: the file stays ASCII,
// and every byte comes back as the code point of its number.
TEST_F(RunReportFile, ModemBytesSurviveAsCodePoints)
{
    RunReport r = Started(true);
    Identified(r);
    r.modemName = "VX \"56\"\\\xe9";
    r.computerName = "B\xdc" "RO";
    Ran(r, kTestTapi, TestOutcome::Passed, "", "");
    const char answer[] = "\r\nRAM\x00\x01\x1b[0m \x7f\x80\xff\r\n";
    Ran(r, kTestRam, TestOutcome::Passed, "AT*RAM", std::string(answer, sizeof(answer) - 1));
    r.status = 0;
    EXPECT_EQ("ok", Check(r, {"modem.name = \"VX \\\"56\\\"\\\\\\u00e9\"", "computer = \"B\\u00dcRO\"",
                              "tests.1.answer = \"\\r\\nRAM\\u0000\\u0001\\u001b[0m \\u007f\\u0080\\u00ff\\r\\n\""}));
}

// The wire: events with the port, bursts with their escaped bytes, the
// limit and the count of dropped bytes.
TEST_F(RunReportFile, WireHoldsEventsAndBurstsInOrder)
{
    RunReport r = Started(true);
    r.scan = ScanOutcome::NoModem;
    r.status = -2;
    r.wire.Opened(1000, "COM2");
    r.wire.Wrote(1041, "AT\r", 3);
    r.wire.Read(1050, "\0\xff\"", 3);
    r.wire.Closed(1300, "COM2");
    EXPECT_EQ("ok", Check(r, {"schema = 2", "wire.limit = 262144", "wire.dropped = 0",
                              "wire.entries = [{\"ms\": 0, \"event\": \"open\", \"port\": \"COM2\"}, "
                              "{\"ms\": 41, \"dir\": \"out\", \"bytes\": \"AT\\r\"}, "
                              "{\"ms\": 50, \"dir\": \"in\", \"bytes\": \"\\u0000\\u00ff\\\"\"}, "
                              "{\"ms\": 300, \"event\": \"close\", \"port\": \"COM2\"}]"}));
}

// The checker itself must catch a report that breaks the schema, and a
// fact that does not hold: else every check above could pass for nothing.
TEST_F(RunReportFile, CheckerRejectsWhatIsWrong)
{
    RunReport r = Started(true);
    r.scan = ScanOutcome::NoModem;
    r.status = -2;
    EXPECT_NE(std::string::npos, Check(r, {"status.code = -5"}).find("status.code: -2, expected -5"));
    EXPECT_NE(std::string::npos, Check(r, {"modem.name absent"}).find("modem.name: null, expected none"));

    r.status = 40;  // no such status
    EXPECT_NE(std::string::npos, Check(r, {}).find("schema: status.code"));
    r.status = -2;
    r.started = "2026-03-01 10:00:00";  // not ISO 8601 with an offset
    EXPECT_NE(std::string::npos, Check(r, {}).find("schema: started"));
    r.started = "2026-03-01T10:00:00+01:00";
    r.tests[kTestRam].sent = true;  // a command for a test that did not run
    EXPECT_NE(std::string::npos, Check(r, {}).find("schema: tests.1"));
}

}  // namespace
