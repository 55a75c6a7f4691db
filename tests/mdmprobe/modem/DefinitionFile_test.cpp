// The definition file through the system's private-profile reader (under
// Wine): CIniFile on real files in the prefix, and the loading steps observed
// in the test log byte for byte (time prefixes removed).
#include "DefinitionLoader.h"
#include "IniFile.h"
#include "LogFixture.h"
#include "MessageBox.h"
#include "ModemCmds.h"
#include "ModemInfo.h"
#include "resource.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

CLogFile* g_log = nullptr;
std::vector<std::string> g_boxes;  // "caption|text|type" of every message box

int RecordBox(const char* text, const char* caption, UINT type)
{
    g_boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
    if (g_log)
        g_log->Write("<message box>\n");
    return IDOK;
}

class DefinitionFileTest : public LogFixture
{
protected:
    void SetUp() override
    {
        LogFixture::SetUp();
        iniPath_ = dir_ + "\\mdmprobe.ini";
        g_log = log_.get();
        g_boxes.clear();
        SetMessageBoxHandler(RecordBox);
    }
    void TearDown() override
    {
        SetMessageBoxHandler(nullptr);
        g_log = nullptr;
        DeleteFileA(iniPath_.c_str());
        LogFixture::TearDown();
    }

    void WriteIni(const std::string& text) { std::ofstream(iniPath_, std::ios::binary) << text; }

    std::string iniPath_;
};

const char kFallbackIni[] =
    "[Common]\r\n"
    "DefaultCRCCheckCmd=AT*CRC\r\n"
    "DefaultCRCCheckAnswer=CRC PASSED\r\n"
    "DefaultRAMCheckCmd=AT*RAM\r\n"
    "DefaultRAMCheckError=RAM FAULT\r\n"
    "DefaultDialCmd=ATDTW\r\n"
    "DefaultDialCmdNoDialT=ATDT\r\n"
    "DefaultDialAnswer=CONNECT\r\n"
    "DefaultMinSpeed=9600\r\n"
    "ConnectTime=0\r\n"
    "HangupTime=1500\r\n"
    "\r\n"
    "; names are matched without regard to case\r\n"
    "[vx-56e rev.b]\r\n"
    "Alias=VX-56e\r\n"
    "ModemTapiName=not read: the alias wins\r\n"
    "\r\n"
    "[VX-56e]\r\n"
    "Alias=Elsewhere\r\n"
    "modemtapiname = \"Vantor VX-56e External\"\r\n"
    "RAMCheckCmd=AT*RAM2\r\n"
    "RAMCheckError=\r\n"
    "DialAnswer=  CONNECT  \r\n"
    "MinSpeed=fast\r\n"
    "DiagCmd=AT*DIAG\r\n"
    "\r\n"
    "[Elsewhere]\r\n"
    "ModemTapiName=second alias level is never followed\r\n";

TEST_F(DefinitionFileTest, ModelThroughAliasWithCommonFallbacks)
{
    WriteIni(kFallbackIni);
    CIniFile ini(iniPath_);
    ModemCmds commands;
    commands.DiagAnswer = "from Common";
    ModemInfo modem;
    modem.commands = &commands;
    LoadModemSection(ini, *log_, modem, "VX-56e Rev.B");

    EXPECT_EQ("PRG-MESSAGE         : no SerialNbr conditions for this modem in .INI File !\r\n"
              "Search modem .INI   : Modem found.\r\n"
              "ModemCmds & Answers : CRCCheckCmd not in INI > default loaded !\r\n"
              "ModemCmds & Answers : CRCCheckAnswer not in INI > default loaded !\r\n"
              "ModemCmds & Answers : RAMCheckError not in INI > default loaded !\r\n"
              "ModemCmds & Answers : DialCmd not in INI > default loaded !\r\n"
              "ModemCmds & Answers : DialCmdNoDialT not in INI > default loaded !\r\n"
              "ModemCmds & Answers : ConnectTime not in INI > default loaded !\r\n"
              "ModemCmds & Answers : HangupTime not in INI > default loaded !\r\n",
              Log());
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ("Vantor VX-56e External", modem.tapiModemName);
    EXPECT_EQ("AT*CRC", commands.CRCCheckCmd);
    EXPECT_EQ("CRC PASSED", commands.CRCCheckAnswer);
    EXPECT_EQ("AT*RAM2", commands.RAMCheckCmd);
    EXPECT_EQ("RAM FAULT", commands.RAMCheckError);
    EXPECT_EQ("ATDTW", commands.DialCmd);
    EXPECT_EQ("ATDT", commands.DialCmdNoDialT);
    EXPECT_EQ("CONNECT", commands.DialAnswer);
    EXPECT_EQ("AT*DIAG", commands.DiagCmd);
    EXPECT_EQ("", commands.DiagAnswer);  // no fallback: the Common value is replaced
    EXPECT_EQ(0, modem.minSpeed);        // not a number
    EXPECT_EQ(2000, modem.connectTime);  // 0 in Common
    EXPECT_EQ(1500, modem.hangupTime);
}

TEST_F(DefinitionFileTest, MissingKeysWithoutFallbackAndMissingTapiName)
{
    WriteIni("[Common]\r\nConnectTime=-3\r\n\r\n[Bare]\r\nCRCCheckCmd=AT*CRC\r\n");
    CIniFile ini(iniPath_);
    ModemCmds commands;
    ModemInfo modem;
    modem.commands = &commands;
    modem.tapiModemName = "kept";
    LoadModemSection(ini, *log_, modem, "Bare");

    EXPECT_EQ("PRG-MESSAGE         : no SerialNbr conditions for this modem in .INI File !\r\n"
              "Search modem .INI   : Modem found.\r\n"
              "<message box>\r\n"
              "ModemCmds & Answers : CRCCheckAnswer not in INI !\r\n"
              "ModemCmds & Answers : RAMCheckCmd not in INI !\r\n"
              "ModemCmds & Answers : RAMCheckError not in INI !\r\n"
              "ModemCmds & Answers : DialCmd not in INI !\r\n"
              "ModemCmds & Answers : DialCmdNoDialT not in INI !\r\n"
              "ModemCmds & Answers : DialAnswer not in INI !\r\n"
              "ModemCmds & Answers : MinSpeed not in INI !\r\n"
              "ModemCmds & Answers : ConnectTime not in INI > default loaded !\r\n"
              "ModemCmds & Answers : HangupTime not in INI !\r\n",
              Log());
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ("Vantor Modem Test|Bare : No TapiModemName for this section !|0", g_boxes[0]);
    EXPECT_EQ("kept", modem.tapiModemName);
    EXPECT_EQ("AT*CRC", commands.CRCCheckCmd);
    EXPECT_EQ(2000, modem.connectTime);  // a negative time is not used either
}

TEST_F(DefinitionFileTest, CommonValuesAndTheReadersRules)
{
    const std::string n78(78, 'a'), n79(79, 'b'), n80(80, 'c');
    WriteIni("[COMMON]\r\n"
             "ModemDetectCmd =  ATI9  \r\n"
             "ModemDetectAnsw='VANTOR'\r\n"
             "ModemReadName=GetValuenotok\r\n"
             "ModemReadName2=getvaluenotok\r\n"
             "K78=" + n78 + "\r\nK79=" + n79 + "\r\nK80=" + n80 + "\r\n");
    CIniFile ini(iniPath_);
    EXPECT_EQ("ATI9", ReadCommonValue(ini, *log_, IDS_KEY_MODEMDETECTCMD));
    EXPECT_EQ("VANTOR", ReadCommonValue(ini, *log_, IDS_KEY_MODEMDETECTANSW));
    EXPECT_EQ("", ReadCommonValue(ini, *log_, IDS_KEY_MODEMREADNAME));
    EXPECT_EQ("getvaluenotok", ReadCommonValue(ini, *log_, IDS_KEY_MODEMREADNAME2));
    EXPECT_EQ("", ReadCommonValue(ini, *log_, IDS_KEY_DIAGCMD));
    EXPECT_EQ("ModemCmds & Answers : ModemReadName not in Common section of INI !\r\n"
              "ModemCmds & Answers : DiagCmd not in Common section of INI !\r\n",
              Log());
    EXPECT_EQ(n78, ini.GetValue("Common", "K78"));
    EXPECT_EQ(n79, ini.GetValue("Common", "K79"));
    EXPECT_EQ(n80.substr(0, 79), ini.GetValue("Common", "K80"));
    EXPECT_EQ("", ini.GetValue("Nowhere", "K78"));
}

TEST_F(DefinitionFileTest, SectionsAndWholeSections)
{
    CIniFile missing(dir_ + "\\none.ini");
    EXPECT_EQ(-1, missing.LoadSections());
    EXPECT_TRUE(missing.GetSection("Common").empty());

    WriteIni("no section yet\r\n");
    CIniFile ini(iniPath_);
    EXPECT_EQ(0, ini.LoadSections());

    // A section of about 3 kB makes the reader's buffer grow twice.
    std::string big = "[Common]\r\nA=1\r\n[AT*DIAG]\r\n";
    std::vector<std::string> entries;
    for (int i = 0; i < 150; ++i) {
        entries.push_back(std::to_string(i) + "-definition=Key number " + std::to_string(i));
        big += entries.back() + "\r\n";
    }
    WriteIni(big + "[Last]\r\n");
    EXPECT_EQ(2, ini.LoadSections());
    EXPECT_EQ((std::vector<std::string>{"Common", "AT*DIAG", "Last"}), ini.GetSections());
    EXPECT_EQ(entries, ini.GetSection("at*diag"));
    EXPECT_TRUE(ini.GetSection("Last").empty());
    EXPECT_TRUE(ini.GetSection("Missing").empty());
}

}  // namespace
