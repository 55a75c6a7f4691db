#include "PortScan.h"

#include "DefinitionLoader.h"
#include "Identify.h"
#include "IniFile.h"
#include "LogFile.h"
#include "ModemCmds.h"
#include "ModemInfo.h"
#include "PageMessages.h"
#include "PortEnum.h"
#include "Serial.h"
#include "resource.h"

#include <string>

namespace {

void SendEvent(HWND page, WPARAM code, const std::string& text)
{
    SendMessageA(page, MSG_SCAN_EVENT, code, reinterpret_cast<LPARAM>(&text));
}

// The generic commands of the "Common" section, read in this order.
void ReadCommonCommands(CIniFile& ini, CLogFile& log, ModemCmds& commands)
{
    commands.DiagCmd = ReadCommonValue(ini, log, IDS_KEY_DIAGCMD);
    commands.DiagAnswer = ReadCommonValue(ini, log, IDS_KEY_DIAGANSWER);
    commands.ModemDetectCmd = ReadCommonValue(ini, log, IDS_KEY_MODEMDETECTCMD);
    commands.ModemDetectAnsw = ReadCommonValue(ini, log, IDS_KEY_MODEMDETECTANSW);
    commands.ModemReadName = ReadCommonValue(ini, log, IDS_KEY_MODEMREADNAME);
    commands.ModemReadName2 = ReadCommonValue(ini, log, IDS_KEY_MODEMREADNAME2);
    commands.ModemReadFirmw = ReadCommonValue(ini, log, IDS_KEY_MODEMREADFIRMW);
}

// The modem on `port` is identified: tell the page, log the result and load
// the model's section (`unattended`: in automatic mode, whose scan never
// searches all ports, with the box that closes by itself).
void AcceptModem(HWND page, ModemInfo& modem, CLogFile& log, CIniFile& ini, const std::string& port, bool unattended)
{
    SendEvent(page, SCAN_EVENT_MODEM, modem.modemName);
    log.Write("\n================  RESULT OF PORT SCAN  ===================\n"
              "Detected modem      : " + modem.modemName + " (" + port + ")\n");
    LoadModemSection(ini, log, modem, modem.modemName, unattended);
}

bool Identify(ModemInfo& modem, CLogFile& log, CIniFile& ini, const std::string& port)
{
    return IdentifyModem(modem.modemName, modem.firmwareVersion, log, &modem.stopRequested, *modem.serialPort, port,
                         *modem.commands, ini);
}

}  // namespace

bool PortScanWorker(HWND page, ModemInfo& modem, CLogFile& log, CIniFile& ini, bool searchAllPorts, int32_t& status,
                    WPARAM* outcome)
{
    if (ini.LoadSections() == -1)
        log.Write("ERROR               : .INI File not found !\n");
    ReadCommonCommands(ini, log, *modem.commands);
    modem.firmwareVersion.clear();
    log.Write("\n==========================================================\n"
              "===================  BEGIN PORT SCAN  ====================");
    status = STATUS_NO_MODEM;

    bool found = false;
    if (searchAllPorts || modem.port.empty()) {
        // The block stays as it is until the next enumeration, so it is
        // walked in place.
        const char* ports = EnumSerialPorts();
        for (size_t i = 0; !found && !modem.stopRequested && NameAt(ports, i); ++i) {
            const std::string current = NameAt(ports, i);
            if (i > 0)
                log.Write("\n===================  SCAN NEXT PORT  =====================");
            modem.port.clear();
            SendEvent(page, SCAN_EVENT_PORT, current);
            log.Write("\nAutomat. port scan  : " + current + "\n");
            found = Identify(modem, log, ini, current);
            if (modem.stopRequested)
                break;
            if (!found) {
                log.Write("\nNo modem detected on: " + current + "\n");
                continue;
            }
            status = STATUS_MODEM_FOUND;
            AcceptModem(page, modem, log, ini, current, !searchAllPorts);
            modem.port = current;
        }
    } else {
        const std::string port = modem.port;
        SendEvent(page, SCAN_EVENT_PORT, port);
        log.Write("\nScanning Port       : " + port + "\n");
        found = Identify(modem, log, ini, port);
        if (found && !modem.stopRequested) {
            status = STATUS_MODEM_FOUND;
            AcceptModem(page, modem, log, ini, port, !searchAllPorts);
        }
    }

    const bool stopped = modem.stopRequested;
    if (stopped && found) {
        // Stopped after the last answer came: the scan counts as broken off,
        // so no modem may look known to the next activation of the page.
        modem.serialPort->Close();
        modem.modemName.clear();
        modem.firmwareVersion.clear();
        status = STATUS_NO_MODEM;
        found = false;
    }
    const WPARAM result = stopped ? SCAN_RESULT_STOPPED : found ? SCAN_RESULT_FOUND : SCAN_RESULT_NONE;
    PostMessageA(page, MSG_SCAN_EVENT, result, 0);
    if (outcome)
        *outcome = result;
    return found;
}
