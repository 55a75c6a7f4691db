#include "DiagTest.h"

#include "IniFile.h"
#include "LogFile.h"
#include "ModemCmds.h"
#include "Serial.h"

#include <utility>

namespace {

constexpr DWORD kPurgeDelayMs = 500;
constexpr DWORD kAnswerLimitMs = 10000;

}  // namespace

bool RunDiagnosticTest(CLogFile& log, CIniFile& ini, const std::atomic<bool>* cancel, CSerial& serial,
                       const ModemCmds& commands, DiagReading* reading)
{
    if (!serial.IsOpen())
        return false;
    serial.PurgeInput(kPurgeDelayMs);
    if (commands.DiagCmd.empty())
        return false;
    log.Write("\n======================  DIAG TEST  =======================\n");
    std::string answer;
    const bool answered =
        serial.Request(commands.DiagCmd, &answer, REQ_NO_ECHO | REQ_SCROLL, cancel, kAnswerLimitMs, 0);
    if (reading) {
        reading->sent = true;
        reading->answer = answer;
        reading->records.clear();
    }
    if (answered && answer.find("DIAG ") != std::string::npos) {
        DecodeDiagReport(log, ini, commands.DiagCmd, answer, reading ? &reading->records : nullptr);
        return true;
    }
    log.Write("Result of DIAG-Test : not recognized on " + serial.GetPortName() + "!\n");
    return false;
}

bool DecodeDiagReport(CLogFile& log, CIniFile& ini, const std::string& section, const std::string& report,
                      std::vector<DiagRecord>* records)
{
    std::vector<DiagRecord> decoded = DecodeDiagRecords(LoadDiagKeys(ini.GetSection(section)), report);
    for (const std::string& line : FormatDiagLines(decoded, ini.GetPath()))
        log.WriteLine(line.c_str());
    if (records)
        *records = std::move(decoded);
    return true;
}
