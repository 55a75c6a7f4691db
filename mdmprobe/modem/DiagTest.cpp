#include "DiagTest.h"

#include "DiagReport.h"
#include "IniFile.h"
#include "LogFile.h"
#include "ModemCmds.h"
#include "Serial.h"

namespace {

constexpr DWORD kPurgeDelayMs = 500;
constexpr DWORD kAnswerLimitMs = 10000;

}  // namespace

bool RunDiagnosticTest(CLogFile& log, CIniFile& ini, const std::atomic<bool>* cancel, CSerial& serial,
                       const ModemCmds& commands)
{
    if (!serial.IsOpen())
        return false;
    serial.PurgeInput(kPurgeDelayMs);
    if (commands.DiagCmd.empty())
        return false;
    log.Write("\n======================  DIAG TEST  =======================\n");
    std::string answer;
    if (serial.Request(commands.DiagCmd, &answer, REQ_NO_ECHO | REQ_SCROLL, cancel, kAnswerLimitMs, 0) &&
        answer.find("DIAG ") != std::string::npos) {
        DecodeDiagReport(log, ini, commands.DiagCmd, answer);
        return true;
    }
    log.Write("Result of DIAG-Test : not recognized on " + serial.GetPortName() + "!\n");
    return false;
}

bool DecodeDiagReport(CLogFile& log, CIniFile& ini, const std::string& section, const std::string& report)
{
    const std::vector<DiagKeyText> keys = LoadDiagKeys(ini.GetSection(section));
    for (const std::string& line : DecodeDiagLines(keys, report, ini.GetPath()))
        log.WriteLine(line.c_str());
    return true;
}
