// CSerial: the program's only door to the modem. One synchronous
// (non-overlapped) Win32 serial handle with fixed line settings (115200 8N1),
// byte-level reads and writes with per-call time limits.
//
// Threading: no lock; one worker thread uses the object at a time. Every call
// blocks its thread at most for the time limits given. No call throws or
// shows anything: failures become false or a byte count of 0.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// Flags of CSerial::Request.
constexpr unsigned REQ_NO_ECHO = 1;    // send in one write, do not compare the echo
constexpr unsigned REQ_NO_ANSWER = 2;  // true once the command and its CR are out
constexpr unsigned REQ_SCROLL = 4;     // send CR every 250 ms while nothing arrives
constexpr unsigned REQ_NO_CR = 8;      // no CR after the command, no wait for its echo

class CWireTranscript;

class CSerial
{
public:
    // Open option bit 0: no flow control (RTS, CTS and DTR handling off).
    static constexpr unsigned OPEN_NO_FLOW_CONTROL = 1;

    CSerial();
    virtual ~CSerial();  // closes the port
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    // The device name (COM1 ...). False for an empty name. Survives Close.
    bool SetPortName(const std::string& name);
    std::string GetPortName() const { return name_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

    // Opens the named port exclusively (closing a port already open first),
    // sets 115200 8N1 with RTS/CTS flow control (none with
    // OPEN_NO_FLOW_CONTROL), write time-outs of 100 ms per byte + 2000 ms,
    // pulses DTR low for 20 ms and waits 20 ms more. A failure at any step
    // releases the handle and returns false.
    bool Open(unsigned options = 0);
    // Discards pending input and closes. False when no port was open or
    // closing failed (the handle is then kept).
    bool Close();

    // Sleeps `delayMs` (when not 0), then discards the driver's receive queue.
    // True on success or when the port is closed.
    bool PurgeInput(DWORD delayMs);
    // Raise DTR, drop it for `lowMs`, raise it again; true when the last
    // raise succeeded.
    bool PulseDtr(DWORD lowMs);
    // True when at least one received byte waits; clears pending line errors.
    bool QueryInbuff();

    // Reads up to `count` bytes with the port's current time-outs; `dest`
    // becomes exactly the bytes read (zero bytes included). Returns the count.
    int Read(std::string& dest, int count);
    // Read with its own limits: at most `totalMs` in all and `intervalMs`
    // between two bytes (0: no interval limit). The port's time-outs are
    // restored afterwards.
    int ReadTimeout(std::string& dest, int count, DWORD totalMs, DWORD intervalMs);
    // Reads everything that arrives within `totalMs`, in chunks of at most
    // 256 bytes, stopping early after a chunk shorter than 256 bytes (the
    // line went quiet for `intervalMs`). Returns the number of bytes in `dest`.
    int ReadAll(std::string& dest, DWORD totalMs, DWORD intervalMs);

    // Writes the first `count` bytes of `src`, or all of it when `count` is 0
    // or larger than `src`. Returns the count the system reports as written.
    int Write(const std::string& src, int count = 0);
    // Write with a total limit of `totalMs` instead of the per-byte limit.
    // ReadTimeout and WriteTimeout read nothing and write nothing (result 0)
    // when the port's time-outs cannot be read or set.
    int WriteTimeout(const std::string& src, int count, DWORD totalMs);

    // Sends one AT command line and classifies the modem's answer. True only
    // when the last attempt ended with OK (or, with REQ_NO_ANSWER, when the
    // command was sent). `answer` (may be null) receives the collected text
    // only at the normal end of the request. `cancel` (may be null) is read
    // at every check point; when set, the request returns false at once.
    // `timeLimitMs` is the time allowed for the answer per attempt;
    // `retries` further attempts follow a failed one.
    bool Request(const std::string& command, std::string* answer, unsigned flags,
                 const std::atomic<bool>* cancel, DWORD timeLimitMs, int retries);
    // True when the latest Request wrote the CR that ends its command line,
    // whatever it returned: the modem then has the whole line, also when the
    // request failed afterwards (cancelled or without the line's echo while
    // swallowing it, or without a final result).
    bool LineEndSent() const { return lineEndSent_; }

    // Records every byte written and read, and every open and close, into
    // `wire` from now on (nullptr: nothing is recorded, the default). The
    // caller keeps `wire` alive until it detaches it or the port is gone.
    void SetWireTranscript(CWireTranscript* wire) { wire_ = wire; }

private:
    friend class CSerialTestAccess;  // tests read the port's time-outs through the handle

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::string name_;
    bool lineEndSent_ = false;  // see LineEndSent
    CWireTranscript* wire_ = nullptr;  // not owned; see SetWireTranscript
};
