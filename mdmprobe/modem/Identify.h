// Identification of the modem on one serial port with the generic commands
// of the definition file: diagnostic report, detect command, model name and
// firmware version.
//
// Runs on the port-scan worker, the only user of `serial` meanwhile;
// `cancel` is ModemInfo::stopRequested, checked by every request.
#pragma once

#include <atomic>
#include <string>

class CIniFile;
class CLogFile;
class CSerial;
struct ModemCmds;

// Opens `port` in `serial` and asks for a modem of the family. True when the
// modem answered the detect command (with ModemDetectAnsw in its answer, if
// that is set), answered the name query with an "OK" (the name may be empty)
// and gave a firmware answer; the port then stays open and `modemName` and
// `firmware` are set. Otherwise the port is closed again
// (a port that cannot be opened counts as one without modem) and both
// outputs are left as they were. The diagnostic report of DiagCmd goes to
// the log on the way; its result does not count.
bool IdentifyModem(std::string& modemName, std::string& firmware, CLogFile& log,
                   const std::atomic<bool>* cancel, CSerial& serial, const std::string& port,
                   const ModemCmds& commands, CIniFile& ini);
