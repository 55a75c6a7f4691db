// CSerial::Request: one AT command line sent with echo check, its line end,
// the answer collected and classified. Built only on the public operations of
// CSerial; runs on the calling worker thread and blocks it.
#include "Serial.h"

#include "FinalResult.h"
#include "SerialTrace.h"

#include <algorithm>

namespace {

constexpr DWORD kWriteLimitMs = 100;      // per write: one character, the command, or a CR
constexpr DWORD kFirstEchoLimitMs = 100;  // wait for the echo of one character ...
constexpr DWORD kEchoLimitStepMs = 50;    // ... raised by this much after every echo failure
constexpr DWORD kRestartPauseMs = 300;    // pause before the command is sent again
constexpr int kMaxEchoFailures = 10;      // restarts per attempt; one more failure ends the request
constexpr DWORD kLineEndByteMs = 2500;    // per byte of the echoed line, up to its CR or LF
constexpr DWORD kScrollMs = 250;          // REQ_SCROLL: a CR this often while nothing waits
constexpr DWORD kBurstSilenceMs = 250;    // a burst of the answer ends after this silence
constexpr DWORD kPollMs = 1;              // sleep of the idle answer loop
constexpr DWORD kAttemptPauseMs = 500;    // after an attempt without OK

// The UI thread sets the flag; a plain load at each check point is enough.
bool Cancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

// Milliseconds until `when` (negative once passed); correct across the wrap of
// the tick counter.
LONG MsUntil(DWORD when)
{
    return static_cast<LONG>(when - GetTickCount());
}

// Sends the command one character at a time, each followed by its echo. A
// missing or wrong echo restarts the whole command from its first character
// with a longer echo limit; the 11th failure gives up. False: the request
// ends at once (cancel, a character not written, too many failures).
bool SendWithEcho(CSerial& port, const std::string& command, const std::atomic<bool>* cancel)
{
    SERIAL_TRACE("CSerial::Request: Try to write\n");
    DWORD echoLimitMs = kFirstEchoLimitMs;
    int failures = 0;
    size_t position = 0;
    while (position < command.size()) {
        if (Cancelled(cancel)) {
            SERIAL_TRACE("CSerial::Request: Action canceld!\n");
            return false;
        }
        const char sent = command[position];
        SERIAL_TRACE("\t\t%d.: %c\n", static_cast<int>(position), sent);
        if (port.WriteTimeout(std::string(1, sent), 1, kWriteLimitMs) != 1) {
            SERIAL_TRACE("CSerial::Request: Error writing character!\n");
            return false;
        }
        std::string echo;
        if (port.ReadTimeout(echo, 1, echoLimitMs, 0) == 1 && echo[0] == sent) {
            ++position;
            continue;
        }
        SERIAL_TRACE("CSerial::Request: No echo return!\n");
        if (++failures > kMaxEchoFailures) {
            SERIAL_TRACE("CSerial::Request: Error Retries!\n");
            return false;
        }
        echoLimitMs += kEchoLimitStepMs;
        SERIAL_TRACE("CSerial::Request: New Timeout set to: %i ms\n", static_cast<int>(echoLimitMs));
        // A late echo of the failed character is discarded with the rest.
        port.PurgeInput(kRestartPauseMs);
        position = 0;
    }
    return true;
}

// Sends the CR that ends the command line. False: not written, the request
// ends at once.
bool WriteLineEnd(CSerial& port)
{
    SERIAL_TRACE("CSerial::Request: Send <CR>\n");
    if (port.WriteTimeout("\r", 1, kWriteLimitMs) != 1) {
        SERIAL_TRACE("CSerial::Request: Error writing character!\n");
        return false;
    }
    return true;
}

// Swallows the echoed command line up to its CR or LF: each byte within
// 2500 ms, the whole line within the request's time limit, so a modem that
// sends text without end cannot hold the request. False: the request ends at
// once (cancel, no byte within the limit).
bool SwallowEchoedLine(CSerial& port, const std::atomic<bool>* cancel, DWORD timeLimitMs)
{
    const DWORD deadline = GetTickCount() + timeLimitMs;
    for (;;) {
        if (Cancelled(cancel)) {
            SERIAL_TRACE("CSerial::Request: Action canceld!\n");
            return false;
        }
        const LONG leftMs = MsUntil(deadline);
        std::string byte;
        if (leftMs <= 0 ||
            port.ReadTimeout(byte, 1, std::min<DWORD>(kLineEndByteMs, static_cast<DWORD>(leftMs)), 0) != 1) {
            SERIAL_TRACE("CSerial::Request: Error reading character!\n");
            return false;
        }
        if (byte[0] == '\r' || byte[0] == '\n') {
            SERIAL_TRACE("CSerial::Request: Return...\n");
            return true;
        }
    }
}

// Collects the answer of one attempt into `text` until a final result is
// found or `timeLimitMs` has passed. The receive queue is polled with 1 ms
// sleeps; waiting bytes are read as a burst that ends after 250 ms of silence.
// False: the request ends at once (cancel, a scroll CR not written).
bool CollectAnswer(CSerial& port, unsigned flags, const std::atomic<bool>* cancel,
                   DWORD timeLimitMs, std::string& text, AttemptResult& result)
{
    text.clear();
    result = kAttemptNone;
    const DWORD start = GetTickCount();
    const DWORD deadline = start + timeLimitMs;
    DWORD nextScroll = start + kScrollMs;
    while (result == kAttemptNone && MsUntil(deadline) > 0) {
        if (Cancelled(cancel)) {
            SERIAL_TRACE("CSerial::Request: Action aborted by user!\n");
            return false;
        }
        if (port.QueryInbuff()) {
            // The burst may use the request's whole time limit, not only the
            // time left: a modem still talking is not cut off.
            std::string burst;
            if (port.ReadAll(burst, timeLimitMs, kBurstSilenceMs) > 0) {
                text += burst;
                result = ClassifyAnswer(text);
                if (result != kAttemptNone) {
                    SERIAL_TRACE("CSerial::Request: \"%s\" found in modem string, exiting.\n",
                                 FinalResultName(result));
                }
            }
        } else if ((flags & REQ_SCROLL) && MsUntil(nextScroll) <= 0) {
            SERIAL_TRACE("CSerial::Request: no sign and scroll on\n");
            if (port.WriteTimeout("\r", 1, kWriteLimitMs) != 1) {
                SERIAL_TRACE("CSerial::Request: Error writing character!\n");
                return false;
            }
            nextScroll += kScrollMs;
        } else {
            Sleep(kPollMs);
        }
    }
    return true;
}

}  // namespace

bool CSerial::Request(const std::string& command, std::string* answer, unsigned flags,
                      const std::atomic<bool>* cancel, DWORD timeLimitMs, int retries)
{
    AttemptResult result = kAttemptNone;
    std::string text;  // the answer of the latest attempt
    lineEndSent_ = false;
    for (int attempt = 0; result < kAttemptOk && attempt <= retries; ++attempt) {
        SERIAL_TRACE("\n#####################\n\nCSerial::Request: COMMAND <%s>; Try %d of %d.\n",
                     command.c_str(), attempt + 1, retries + 1);
        result = kAttemptNone;
        if (Cancelled(cancel)) {
            SERIAL_TRACE("CSerial::Request: Action canceld!\n");
            return false;
        }
        PurgeInput(0);

        if (flags & REQ_NO_ECHO) {
            SERIAL_TRACE("CSerial::Request: Ignore echo!\n");
            // An empty command writes nothing and so fails here.
            if (WriteTimeout(command, static_cast<int>(command.size()), kWriteLimitMs) == 0) {
                SERIAL_TRACE("CSerial::Request: Error writing character!\n");
                return false;
            }
        } else if (!SendWithEcho(*this, command, cancel)) {
            return false;
        }
        SERIAL_TRACE("CSerial::Request: complete command written\n");

        if (!(flags & REQ_NO_CR)) {
            if (!WriteLineEnd(*this))
                return false;
            // From here the modem has the whole line and acts on it, even if
            // its echo never comes back.
            lineEndSent_ = true;
            if (!SwallowEchoedLine(*this, cancel, timeLimitMs))
                return false;
        }
        if (flags & REQ_NO_ANSWER) {
            SERIAL_TRACE("CSerial::Request: End cause ignore answer\n");
            return true;
        }

        if (!CollectAnswer(*this, flags, cancel, timeLimitMs, text, result))
            return false;
        SERIAL_TRACE("CSerial::Request: Modem answer: \"%s\"\n", text.c_str());
        if (result == kAttemptOk) {
            SERIAL_TRACE("CSerial::Request: Result: OK! \n\n#####################\n");
        } else {
            SERIAL_TRACE("CSerial::Request: Result: Error %d \n\n#####################\n",
                         static_cast<int>(result));
            // Also after the last attempt: the modem gets its pause before
            // whatever command comes next.
            Sleep(kAttemptPauseMs);
        }
    }
    if (answer)
        *answer = text;
    return result == kAttemptOk;
}
