// The modem under test (ModemInfo) and the run status values. The scan, the
// definition loader and the tests write them; the application's start-up
// creates and frees the record (TestContext.h), pages and workers never free
// it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class CSerial;
struct ModemCmds;

// Run status. One signed value carries them all in turn over a run: the scan
// result, then the test result bits, or the start-up's own outcomes.
constexpr int32_t STATUS_NO_MODEM = -2;          // the scan found no modem
constexpr int32_t STATUS_MODEM_FOUND = 1;        // the scan found a compatible modem
constexpr int32_t STATUS_TAPI_FAILED = 1;        // test bits, set by the test run
constexpr int32_t STATUS_RAM_FAILED = 2;
constexpr int32_t STATUS_CRC_FAILED = 4;
constexpr int32_t STATUS_DIAL_FAILED = 8;
constexpr int32_t STATUS_DIAG_FAILED = 16;
constexpr int32_t STATUS_BAD_COMMAND_LINE = -4;  // no known switch: nothing shown or logged
constexpr int32_t STATUS_CANCELLED = -5;         // the wizard was cancelled

struct ModemInfo
{
    std::string port;             // preset from /P:, then the port where the modem was found
    std::string modemName;        // non-empty once a modem was found in this run
    std::string tapiModemName;    // the model's name among the installed Windows modems
    std::string firmwareVersion;  // emptied at the start of every scan
    CSerial* serialPort = nullptr;
    // Set by the main thread (Back, Finish, cancel, teardown) to stop a running
    // scan or test; read by the worker at every check point of a request.
    std::atomic<bool> stopRequested{false};
    ModemCmds* commands = nullptr;
    int32_t minSpeed = 0;
    int32_t connectTime = 0;  // ms; 2000 when the definition file gives 0 or nothing
    int32_t hangupTime = 0;
    // The definition-file section the model's values were loaded from, and
    // the Alias of the model's own section that led there (empty: none).
    std::string definitionSection;
    std::string definitionAlias;
};
static_assert(sizeof(std::atomic<bool>) == 1, "stopRequested is one byte");
