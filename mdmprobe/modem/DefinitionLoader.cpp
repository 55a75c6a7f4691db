#include "DefinitionLoader.h"

#include "DefinitionText.h"
#include "IniFile.h"
#include "LogFile.h"
#include "MessageBox.h"
#include "ModemCmds.h"
#include "ModemInfo.h"
#include "ResString.h"
#include "resource.h"

namespace {

constexpr char kCommon[] = "Common";
constexpr char kAlias[] = "Alias";
constexpr int32_t kDefaultConnectTime = 2000;  // ms, when the file gives 0 or nothing

}  // namespace

std::string LoadKeyName(UINT keyId)
{
    return LoadResString(keyId);
}

std::string ReadCommonValue(CIniFile& ini, CLogFile& log, UINT keyId)
{
    const std::string name = LoadKeyName(keyId);
    std::string value = ini.GetValue(kCommon, name);
    if (value.empty())
        log.Write("ModemCmds & Answers : " + name + " not in Common section of INI !\n");
    return value;
}

std::string ReadModemValue(CIniFile& ini, CLogFile& log, const std::string& section, UINT keyId,
                           UINT fallbackId)
{
    const std::string name = LoadKeyName(keyId);
    std::string value = ini.GetValue(section, name);
    if (value.empty() && fallbackId != 0) {
        value = ini.GetValue(kCommon, LoadKeyName(fallbackId));
        log.Write("ModemCmds & Answers : " + name + " not in INI " +
                  (value.empty() ? "" : "> default loaded ") + "!\n");
    }
    return value;
}

void LoadModemSection(CIniFile& ini, CLogFile& log, ModemInfo& modem, const std::string& modemName,
                      bool unattended)
{
    log.Write("PRG-MESSAGE         : no SerialNbr conditions for this modem in .INI File !\n");
    log.Write("Search modem .INI   : Modem found.\n");

    std::string section = modemName;
    const std::string alias = ini.GetValue(section, kAlias);
    if (!alias.empty())
        section = alias;
    modem.definitionSection = section;
    modem.definitionAlias = alias;

    const std::string tapiName = ReadModemValue(ini, log, section, IDS_KEY_MODEMTAPINAME, 0);
    if (tapiName.empty()) {
        const std::string text = section + LoadResString(IDS_NO_TAPI_NAME);
        if (unattended)
            ShowClosingMessageBox(nullptr, text.c_str(), LoadResString(IDS_APP_CAPTION).c_str(), MB_OK,
                                  kUnattendedBoxMs);
        else
            ShowMessageBox(nullptr, text.c_str(), LoadResString(IDS_APP_CAPTION).c_str(), MB_OK);
    } else {
        modem.tapiModemName = tapiName;
    }

    ModemCmds scratch;
    ModemCmds& commands = modem.commands ? *modem.commands : scratch;
    auto read = [&](UINT keyId, UINT fallbackId) {
        return ReadModemValue(ini, log, section, keyId, fallbackId);
    };
    commands.CRCCheckCmd = read(IDS_KEY_CRCCHECKCMD, IDS_KEY_DEFAULTCRCCHECKCMD);
    commands.CRCCheckAnswer = read(IDS_KEY_CRCCHECKANSWER, IDS_KEY_DEFAULTCRCCHECKANSWER);
    commands.RAMCheckCmd = read(IDS_KEY_RAMCHECKCMD, IDS_KEY_DEFAULTRAMCHECKCMD);
    commands.RAMCheckError = read(IDS_KEY_RAMCHECKERROR, IDS_KEY_DEFAULTRAMCHECKERROR);
    commands.DialCmd = read(IDS_KEY_DIALCMD, IDS_KEY_DEFAULTDIALCMD);
    commands.DialCmdNoDialT = read(IDS_KEY_DIALCMDNODIALT, IDS_KEY_DEFAULTDIALCMDNODIALT);
    commands.DialAnswer = read(IDS_KEY_DIALANSWER, IDS_KEY_DEFAULTDIALANSWER);
    modem.minSpeed = ParseDecimal(read(IDS_KEY_MINSPEED, IDS_KEY_DEFAULTMINSPEED));
    commands.DiagCmd = read(IDS_KEY_DIAGCMD, 0);
    commands.DiagAnswer = read(IDS_KEY_DIAGANSWER, 0);
    modem.connectTime = ParseDecimal(read(IDS_KEY_CONNECTTIME, IDS_KEY_CONNECTTIME));
    modem.hangupTime = ParseDecimal(read(IDS_KEY_HANGUPTIME, IDS_KEY_HANGUPTIME));
    // A negative time would make the test call hold the line for weeks.
    if (modem.connectTime <= 0)
        modem.connectTime = kDefaultConnectTime;
}
