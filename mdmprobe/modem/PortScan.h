// The port-scan worker: finds and identifies the modem on the serial ports,
// loads the model's section of the definition file and reports to the
// search page.
//
// Runs on a worker thread of its own; while it runs it is the only user of
// the serial port, the command set and the ModemInfo fields it writes. It
// reaches the page only through MSG_SCAN_EVENT (PageMessages.h): the port
// (SCAN_EVENT_PORT) and the modem name (SCAN_EVENT_MODEM) are sent, so the
// strings may live in the worker; the result code is posted last.
#pragma once

#include <windows.h>

#include <cstdint>

class CIniFile;
class CLogFile;
struct ModemInfo;

// Scans every port of EnumSerialPorts in turn (`searchAllPorts` set or no
// port preset) or only the preset port of `modem`, until a modem is
// identified or ModemInfo::stopRequested is set. Every step goes to `log`.
// On success the port stays open in the serial port object, `status` is
// STATUS_MODEM_FOUND and the model's section of `definitionFile` is loaded;
// otherwise every port tried is closed again and `status` is
// STATUS_NO_MODEM. Posts SCAN_RESULT_FOUND, SCAN_RESULT_NONE or, when
// stopped, SCAN_RESULT_STOPPED to `page`, stores that result in `*outcome`
// when given, and returns whether a modem was identified. `modem` must have
// its serial port and command set.
bool PortScanWorker(HWND page, ModemInfo& modem, CLogFile& log, CIniFile& definitionFile, bool searchAllPorts,
                    int32_t& status, WPARAM* outcome = nullptr);
