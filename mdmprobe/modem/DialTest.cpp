#include "DialTest.h"

#include "CallResult.h"

namespace {

constexpr DWORD kSettleMs = 500;          // pause before the purge that precedes dialling
constexpr DWORD kRequestLimitMs = 10000;  // time limit of the dial and hang-up requests
constexpr int kResultPolls = 240;         // the call result is awaited 240 x 250 ms
constexpr DWORD kResultPollMs = 250;
constexpr DWORD kBurstLimitMs = 1000;     // reading what arrived: at most 1 s ...
constexpr DWORD kBurstSilenceMs = 100;    // ... ending after 100 ms of silence
constexpr DWORD kEscapeLimitMs = 2000;    // the modem's OK to "+++" comes after its guard time
constexpr DWORD kDtrLowMs = 20;
constexpr DWORD kHoldSliceMs = 50;        // the hold looks at the stop flag this often

// Appends what waits in the receive queue, if anything.
void CollectWaiting(CSerial& serial, std::string& received)
{
    if (!serial.QueryInbuff())
        return;
    std::string burst;
    serial.ReadAll(burst, kBurstLimitMs, kBurstSilenceMs);
    received += burst;
}

bool Stopped(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

// Everything the modem sends after the dial command, until a final call
// result is in it, the polls are used up or a stop is requested (looked at
// before every poll, so a stop ends the wait within 250 ms). The reads count
// against the minute the polls make, so a modem that keeps sending text (each
// read then lasts its whole second) cannot stretch the wait to five minutes.
std::string WaitForCallResult(CSerial& serial, const std::atomic<bool>* cancel)
{
    std::string received;
    const DWORD deadline = GetTickCount() + kResultPolls * kResultPollMs;
    for (int poll = 0; poll < kResultPolls && !Stopped(cancel) &&
                       static_cast<LONG>(deadline - GetTickCount()) > 0;
         ++poll) {
        Sleep(kResultPollMs);
        CollectWaiting(serial, received);
        if (HasFinalCallResult(received))
            break;
    }
    return received;
}

// Holds the connection for `ms`, or until a stop is requested.
void HoldLine(int32_t ms, const std::atomic<bool>* cancel)
{
    const DWORD start = GetTickCount();
    while (!Stopped(cancel)) {
        const DWORD held = GetTickCount() - start;
        if (ms <= 0 || held >= static_cast<DWORD>(ms))
            return;
        const DWORD left = static_cast<DWORD>(ms) - held;
        Sleep(left < kHoldSliceMs ? left : kHoldSliceMs);
    }
}

// Back to command mode and on hook, after every call attempt. The requests'
// results do not matter: the modem may not be connected at all.
void HangUp(CSerial& serial, const std::atomic<bool>* cancel)
{
    std::string scratch;
    serial.Request("+++", &scratch, REQ_NO_ECHO | REQ_NO_CR, cancel, kEscapeLimitMs, 0);
    serial.Request("ATH", &scratch, REQ_NO_ECHO, cancel, kRequestLimitMs, 0);
    serial.PulseDtr(kDtrLowMs);
}

}  // namespace

bool RunDialTest(std::string& answer, const std::atomic<bool>* cancel, CSerial* serial,
                 const std::string& dialCommand, const std::string& dialAnswer, unsigned minSpeed,
                 int32_t connectTimeMs, std::string* receivedOut)
{
    if (!serial || !serial->IsOpen())
        return false;
    serial->PurgeInput(kSettleMs);
    std::string scratch;
    // The request's result does not tell whether the modem dials: it also
    // fails when the line's echo is lost or a stop comes after the CR went
    // out. The CR on the wire does.
    serial->Request(dialCommand, &scratch, REQ_NO_ANSWER, cancel, kRequestLimitMs, 0);
    const bool dialled = serial->LineEndSent();

    std::string received = WaitForCallResult(*serial, cancel);
    if (HoldsConnection(received, dialAnswer)) {
        HoldLine(connectTimeMs, cancel);
        CollectWaiting(*serial, received);
    }
    const CallVerdict verdict = EvaluateCallResult(received, dialAnswer, minSpeed);
    answer = verdict.answer;
    if (receivedOut)
        *receivedOut = received;

    // Once the number reached the modem the line is released even when a
    // stop was requested meanwhile.
    HangUp(*serial, dialled ? nullptr : cancel);
    return verdict.passed;
}
