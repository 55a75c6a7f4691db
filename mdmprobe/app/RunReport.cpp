#include "RunReport.h"

#include "BufCopy.h"
#include "JsonWriter.h"

#include <cstdlib>

namespace {

constexpr int kSchemaVersion = 2;

struct TestName
{
    const char* id;      // the test's name in the report
    const char* failed;  // what a failure of it means, as the exit-code table says
};

const TestName kTests[kTestCount] = {
    {"tapi", "installed modem"},
    {"ram", "memory"},
    {"crc", "checksum"},
    {"dial", "test call"},
    {"diag", "diagnostic readout"},
};

// The status bit of each test (STATUS_*_FAILED: bit n for test n).
int32_t FailedBit(int test)
{
    return int32_t{1} << test;
}

const char* ScanText(ScanOutcome scan)
{
    switch (scan) {
    case ScanOutcome::Found:
        return "found";
    case ScanOutcome::NoModem:
        return "no modem";
    case ScanOutcome::Stopped:
        return "stopped";
    default:
        return "not run";
    }
}

const char* OutcomeText(TestOutcome outcome)
{
    switch (outcome) {
    case TestOutcome::Passed:
        return "passed";
    case TestOutcome::Failed:
        return "failed";
    default:
        return "not run";
    }
}

// A test the run never got to: no modem to test, or stopped before.
std::string MissingReason(const RunReport& report)
{
    return report.scan == ScanOutcome::NoModem ? kReasonNoModem : kReasonCancelled;
}

void WriteStatus(CJsonWriter& json, const RunReport& report)
{
    json.Name("status").BeginObject();
    json.Member("code", report.status);
    json.Member("meaning", StatusMeaning(report.status, report.testsRan));
    json.Name("failed").BeginArray();
    if (report.status > 0 && report.testsRan) {
        for (int test = 0; test < kTestCount; ++test) {
            if (report.status & FailedBit(test))
                json.String(kTests[test].id);
        }
    }
    json.EndArray();
    json.EndObject();
}

void WriteBits(CJsonWriter& json, const DiagField& field)
{
    json.Member("bitmap", field.number);
    // The bits worth naming: those set and those the definition file names.
    json.Name("bits").BeginArray();
    for (const DiagBit& bit : field.bits) {
        if (!bit.set && !bit.described)
            continue;
        json.BeginObject();
        json.Member("bit", bit.bit);
        json.Member("set", bit.set);
        json.TextOrNull("name", bit.described ? bit.name : std::string());
        json.EndObject();
    }
    json.EndArray();
}

void WriteField(CJsonWriter& json, const DiagField& field)
{
    static const char* const kForms[] = {"undescribed", "string", "bitmap", "coded", "number"};
    json.BeginObject();
    json.Member("key", field.key);
    json.Member("form", kForms[static_cast<int>(field.form)]);
    json.Member("raw", field.quoted ? "\"" + field.value + "\"" : field.value);
    if (field.form != DiagForm::Undescribed) {
        json.Member("definition", field.definition);
        json.Member("unit", field.unit);
    }
    switch (field.form) {
    case DiagForm::String:
        json.Member("string", field.value);
        break;
    case DiagForm::Bitmap:
        WriteBits(json, field);
        break;
    case DiagForm::Coded:
        json.Member("number", field.number);
        json.TextOrNull("meaning", field.meaningKnown ? field.meaning : std::string());
        break;
    case DiagForm::Number:
        json.Member("number", field.number);
        break;
    default:
        break;
    }
    json.EndObject();
}

void WriteDiagReport(CJsonWriter& json, const std::vector<DiagRecord>& records)
{
    json.Name("report").BeginArray();
    for (const DiagRecord& record : records) {
        json.BeginObject();
        json.Member("token", record.token);
        json.Name("fields").BeginArray();
        for (const DiagField& field : record.fields)
            WriteField(json, field);
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

void WriteCall(CJsonWriter& json, const CallReport& call)
{
    json.Name("call").BeginObject();
    json.Member("number", call.number);
    json.TextOrNull("result", call.result);
    json.Name("speed");
    if (call.speedRead)
        json.Number(call.speed);
    else
        json.Null();
    json.Member("minSpeed", call.minSpeed);
    json.Member("connectTime", call.connectTime);
    json.EndObject();
}

void WriteTest(CJsonWriter& json, const RunReport& report, int test)
{
    const TestReport& entry = report.tests[test];
    json.BeginObject();
    json.Member("test", kTests[test].id);
    json.Member("result", OutcomeText(entry.outcome));
    if (entry.outcome == TestOutcome::NotRun)
        json.Member("reason", entry.reason.empty() ? MissingReason(report) : entry.reason);
    if (test == kTestTapi && entry.outcome != TestOutcome::NotRun)
        json.Member("tapiName", report.tapiName);
    if (entry.sent) {
        json.Member("command", entry.command);
        json.Member("answer", entry.answer);
    }
    if (test == kTestDial && entry.sent)
        WriteCall(json, report.call);
    if (test == kTestDiag && entry.outcome == TestOutcome::Passed)
        WriteDiagReport(json, report.diagRecords);
    json.EndObject();
}

void WriteWire(CJsonWriter& json, const CWireTranscript& wire)
{
    json.Name("wire").BeginObject();
    json.Member("limit", static_cast<int64_t>(CWireTranscript::kLimitBytes));
    json.Member("dropped", static_cast<int64_t>(wire.DroppedBytes()));
    json.Name("entries").BeginArray();
    for (const WireEntry& entry : wire.Entries()) {
        json.BeginObject();
        json.Member("ms", static_cast<int64_t>(entry.ms));
        switch (entry.kind) {
        case WireKind::Open:
        case WireKind::Close:
            json.Member("event", entry.kind == WireKind::Open ? "open" : "close");
            json.Member("port", entry.text);
            break;
        default:
            json.Member("dir", entry.kind == WireKind::Out ? "out" : "in");
            json.Member("bytes", entry.text);
            break;
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

}  // namespace

std::string FormatIsoTime(int year, int month, int day, int hour, int minute, int second,
                          int offsetMinutes)
{
    const int offset = std::abs(offsetMinutes);
    char text[40];
    BufFormat(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day, hour,
              minute, second, offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

std::string StatusMeaning(int32_t status, bool testsRan)
{
    switch (status) {
    case 0:
        return testsRan ? "all tests passed" : "nothing was tested";
    case -2:
        return "no modem found";
    case -4:
        return "the command line had none of /P:, /T:, /L:";
    case -5:
        return "cancelled by the user";
    default:
        break;
    }
    if (status == 1 && !testsRan)
        return "a modem was found but the tests did not run";
    if (status < 0 || status >= FailedBit(kTestCount))
        return "unknown status";
    std::string meaning = "failed:";
    const char* separator = " ";
    for (int test = 0; test < kTestCount; ++test) {
        if (status & FailedBit(test)) {
            meaning += separator;
            meaning += kTests[test].failed;
            separator = ", ";
        }
    }
    return meaning;
}

std::string FormatRunReport(const RunReport& report)
{
    CJsonWriter json;
    json.BeginObject();
    json.Member("schema", kSchemaVersion);
    json.Name("program").BeginObject();
    json.Member("name", report.programName);
    json.Member("version", report.programVersion);
    json.EndObject();
    json.Member("started", report.started);
    json.Member("ended", report.ended);
    json.Member("commandLine", report.commandLine);
    json.Member("mode", report.automatic ? "automatic" : "interactive");
    WriteStatus(json, report);
    json.Member("computer", report.computerName);
    json.Member("log", report.logPath);

    json.Name("modem").BeginObject();
    json.Member("scan", ScanText(report.scan));
    json.TextOrNull("port", report.port);
    json.TextOrNull("name", report.modemName);
    json.TextOrNull("firmware", report.firmwareVersion);
    json.EndObject();

    json.Name("definition").BeginObject();
    json.Member("path", report.definitionPath);
    json.TextOrNull("section", report.section);
    json.TextOrNull("alias", report.alias);
    json.EndObject();

    json.Name("tests").BeginArray();
    for (int test = 0; test < kTestCount; ++test)
        WriteTest(json, report, test);
    json.EndArray();
    WriteWire(json, report.wire);
    json.EndObject();
    return json.Text() + "\n";
}

std::string ReportPathFor(const std::string& name, const std::string& programPath)
{
    const bool hasDrive = name.size() >= 2 && name[1] == ':' &&
                          ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    if (name.empty() || hasDrive || name[0] == '\\')
        return name;
    const size_t slash = programPath.find_last_of("\\/");
    return slash == std::string::npos ? name : programPath.substr(0, slash + 1) + name;
}
