#include "Identify.h"

#include "DefinitionLoader.h"
#include "DiagTest.h"
#include "IdentifyText.h"
#include "IniFile.h"
#include "ModemCmds.h"
#include "Serial.h"
#include "resource.h"

namespace {

constexpr DWORD kPurgeDelayMs = 500;
constexpr DWORD kAnswerLimitMs = 10000;

// One request with a fresh answer: a request that ends early (cancel, no
// echo) leaves `answer` empty, so an earlier command's "OK" never counts for
// this one.
bool Ask(CSerial& serial, const std::string& command, std::string& answer, unsigned flags,
         const std::atomic<bool>* cancel)
{
    answer.clear();
    return serial.Request(command, &answer, flags, cancel, kAnswerLimitMs, 0);
}

}  // namespace

bool IdentifyModem(std::string& modemName, std::string& firmware, CLogFile& log,
                   const std::atomic<bool>* cancel, CSerial& serial, const std::string& port,
                   const ModemCmds& commands, CIniFile& ini)
{
    if (!serial.SetPortName(port) || !serial.Open())
        return false;
    std::string answer;
    serial.PurgeInput(kPurgeDelayMs);
    RunDiagnosticTest(log, ini, cancel, serial, commands);

    bool found = !commands.ModemDetectCmd.empty() &&
                 Ask(serial, commands.ModemDetectCmd, answer, REQ_NO_ECHO | REQ_SCROLL, cancel);
    if (found && !commands.ModemDetectAnsw.empty() &&
        answer.find(commands.ModemDetectAnsw) == std::string::npos)
        found = false;

    std::string name, version;
    if (found) {
        Ask(serial, commands.ModemReadName, answer, REQ_SCROLL, cancel);
        found = ParseModemName(answer, name);
        if ((name.empty() || !found) && !commands.ModemReadName2.empty()) {
            Ask(serial, commands.ModemReadName2, answer, REQ_SCROLL, cancel);
            if (!ParseModemName2(answer, name))
                found = false;
        }
        // A modem that answers OK without a name stays identified, with an
        // empty name: its section "" does not exist, so the Common values
        // serve it.
    }
    if (found) {
        std::string command = ini.GetValue(name, LoadKeyName(IDS_KEY_MODEMREADFIRMW));
        if (command.empty())
            command = commands.ModemReadFirmw;
        Ask(serial, command, answer, REQ_SCROLL, cancel);
        found = ParseFirmwareVersion(answer, version);
    }

    if (!found) {
        serial.Close();
        return false;
    }
    modemName = name;
    firmware = version;
    return true;
}
