// The modem's command set: commands and expected answers, filled from the
// modem definition file (generic values first, then the model's section).
#pragma once

#include <string>

struct ModemCmds
{
    std::string DiagCmd;          // diagnostic report command (empty: no diagnostic test)
    std::string DiagAnswer;       // stored only
    std::string ModemDetectCmd;   // answers OK when a modem of the family is on the port
    std::string ModemDetectAnsw;  // text the detect answer must contain (empty: any OK)
    std::string ModemReadName;    // returns the model name
    std::string ModemReadName2;   // second try for the model name
    std::string ModemReadFirmw;   // returns the firmware version
    std::string RAMCheckCmd;      // memory test
    std::string RAMCheckError;    // its presence in the answer fails the memory test
    std::string CRCCheckCmd;      // stored-checksum test
    std::string CRCCheckAnswer;   // its presence in the answer passes the checksum test
    std::string DialCmd;          // dial prefix when waiting for a dial tone
    std::string DialCmdNoDialT;   // dial prefix without waiting for a dial tone
    std::string DialAnswer;       // connect text whose speed is checked
};
