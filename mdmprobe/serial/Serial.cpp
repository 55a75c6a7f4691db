#include "Serial.h"

#include "SerialTrace.h"
#include "WireTranscript.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD kBaudRate = 115200;
constexpr DWORD kWriteMsPerByte = 100;
constexpr DWORD kWriteConstantMs = 2000;
constexpr DWORD kDtrPulseMs = 20;
constexpr DWORD kAfterPulseMs = 20;
constexpr int kReadAllChunk = 256;

// Windows opens COM10 and above only through the device namespace
// ("\\.\COM10"); lower ports and other names are opened as given.
std::string DeviceName(const std::string& name)
{
    if (name.size() > 3 && _strnicmp(name.c_str(), "COM", 3) == 0) {
        bool digits = true;
        for (size_t i = 3; i < name.size(); ++i)
            digits = digits && std::isdigit(static_cast<unsigned char>(name[i]));
        if (digits && std::atoi(name.c_str() + 3) >= 10)
            return "\\\\.\\" + name;
    }
    return name;
}

// Changes a port's time-outs for one call and puts the previous ones back.
// When the current time-outs cannot be read nothing is changed and the call
// must not go ahead: a record guessed instead could leave a limit unlimited.
class TimeoutScope
{
public:
    template <typename Change>
    TimeoutScope(HANDLE handle, Change change) : handle_(handle)
    {
        saved_ = GetCommTimeouts(handle_, &previous_) != 0;
        if (!saved_)
            return;
        COMMTIMEOUTS limits = previous_;
        change(limits);
        active_ = SetCommTimeouts(handle_, &limits) != 0;
    }
    ~TimeoutScope()
    {
        if (saved_)
            SetCommTimeouts(handle_, &previous_);
    }
    TimeoutScope(const TimeoutScope&) = delete;
    TimeoutScope& operator=(const TimeoutScope&) = delete;

    // True when the call's own limits are in force.
    bool Active() const { return active_; }

private:
    HANDLE handle_;
    COMMTIMEOUTS previous_ = {};
    bool saved_ = false;
    bool active_ = false;
};

}  // namespace

CSerial::CSerial() = default;

CSerial::~CSerial()
{
    Close();
}

bool CSerial::SetPortName(const std::string& name)
{
    if (name.empty())
        return false;
    name_ = name;
    return true;
}

bool CSerial::Open(unsigned options)
{
    if (IsOpen())
        Close();

    SERIAL_TRACE("CSerial::Open: <%s>\n", name_.c_str());
    HANDLE handle = CreateFileA(DeviceName(name_).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SERIAL_TRACE("CSerial::Open: Abort Open <%s>\n", name_.c_str());
        return false;
    }

    auto fail = [&]() {
        CloseHandle(handle);
        SERIAL_TRACE("CSerial::Open: Abort Open <%s>\n", name_.c_str());
        return false;
    };

    DCB dcb = {};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb))
        return fail();
    dcb.BaudRate = kBaudRate;
    dcb.fBinary = TRUE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    if (options & OPEN_NO_FLOW_CONTROL) {
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
    } else {
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        dcb.fOutxCtsFlow = TRUE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
    }
    if (!SetCommState(handle, &dcb))
        return fail();

    COMMTIMEOUTS timeouts = {};
    if (!GetCommTimeouts(handle, &timeouts))
        return fail();
    timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteConstantMs;
    if (!SetCommTimeouts(handle, &timeouts))
        return fail();

    handle_ = handle;
    if (wire_)
        wire_->Opened(GetTickCount(), name_);
    // The result does not matter here: some drivers (and pseudo-terminals)
    // cannot switch DTR, and the port works without the pulse.
    PulseDtr(kDtrPulseMs);
    Sleep(kAfterPulseMs);
    return true;
}

bool CSerial::Close()
{
    if (!IsOpen()) {
        SERIAL_TRACE("CSerial::Close: <%s> already closed!\n", name_.c_str());
        return false;
    }
    SERIAL_TRACE("CSerial::Close: Try to close: <%s>\n", name_.c_str());
    PurgeInput(0);
    if (!CloseHandle(handle_)) {
        SERIAL_TRACE("CSerial::Close: Closing of <%s> failed!\n", name_.c_str());
        return false;
    }
    handle_ = INVALID_HANDLE_VALUE;
    if (wire_)
        wire_->Closed(GetTickCount(), name_);
    SERIAL_TRACE("CSerial::Close: Closed: <%s>\n", name_.c_str());
    return true;
}

bool CSerial::PurgeInput(DWORD delayMs)
{
    if (delayMs != 0)
        Sleep(delayMs);
    if (!IsOpen())
        return true;
    return PurgeComm(handle_, PURGE_RXCLEAR) != 0;
}

bool CSerial::PulseDtr(DWORD lowMs)
{
    EscapeCommFunction(handle_, SETDTR);
    EscapeCommFunction(handle_, CLRDTR);
    Sleep(lowMs);
    return EscapeCommFunction(handle_, SETDTR) != 0;
}

bool CSerial::QueryInbuff()
{
    DWORD errors = 0;
    COMSTAT status = {};
    bool waiting = ClearCommError(handle_, &errors, &status) && status.cbInQue > 0;
    SERIAL_TRACE("CSerial::QueryInbuff: Inbuff is %sempty\n", waiting ? "not " : "");
    return waiting;
}

int CSerial::Read(std::string& dest, int count)
{
    SERIAL_TRACE("CSerial::Read: Ready to read %i bytes\n", count);
    if (count < 0)
        count = 0;
    std::vector<char> buffer(static_cast<size_t>(count) + 1, '\0');
    DWORD got = 0;
    if (!ReadFile(handle_, buffer.data(), static_cast<DWORD>(count), &got, nullptr)) {
        SERIAL_TRACE("CSerial::Read: Critial Error:\n");
    }
    dest.assign(buffer.data(), got);
    if (wire_)
        wire_->Read(GetTickCount(), buffer.data(), got);
    SERIAL_TRACE("CSerial::Read: %i bytes read\n", static_cast<int>(got));
    return static_cast<int>(got);
}

int CSerial::ReadTimeout(std::string& dest, int count, DWORD totalMs, DWORD intervalMs)
{
    SERIAL_TRACE("CSerial::ReadTimeout: Ready to read %i bytes within %i ms and wait only %i ms "
                 "between 2 characters\n",
                 count, static_cast<int>(totalMs), static_cast<int>(intervalMs));
    int got = 0;
    {
        TimeoutScope scope(handle_, [&](COMMTIMEOUTS& limits) {
            limits.ReadIntervalTimeout = intervalMs;
            limits.ReadTotalTimeoutMultiplier = 0;
            limits.ReadTotalTimeoutConstant = totalMs;
        });
        if (scope.Active())
            got = Read(dest, count);
        else
            dest.clear();
    }
    SERIAL_TRACE("CSerial::ReadTimeout: %i bytes read\n", got);
    return got;
}

int CSerial::ReadAll(std::string& dest, DWORD totalMs, DWORD intervalMs)
{
    SERIAL_TRACE("CSerial::ReadAll: Ready to read all bytes within %i ms and wait only %i ms "
                 "between 2 characters\n",
                 static_cast<int>(totalMs), static_cast<int>(intervalMs));
    const DWORD deadline = GetTickCount() + totalMs;
    dest.clear();
    int total = 0;
    LONG remaining = static_cast<LONG>(totalMs);
    while (remaining > 0) {
        std::string chunk;
        int got = ReadTimeout(chunk, kReadAllChunk, static_cast<DWORD>(remaining), intervalMs);
        dest += chunk;
        total += got;
        // Signed difference: correct across the tick counter's wrap-around.
        remaining = static_cast<LONG>(deadline - GetTickCount());
        if (got < kReadAllChunk)
            break;
    }
    if (total > 0)
        SERIAL_TRACE("CSerial::ReadAll: Read: %s\n", dest.c_str());
    else
        SERIAL_TRACE("CSerial::ReadAll: Nothing read\n");
    return total;
}

int CSerial::Write(const std::string& src, int count)
{
    size_t length = (count <= 0 || static_cast<size_t>(count) > src.size())
                        ? src.size()
                        : static_cast<size_t>(count);
    SERIAL_TRACE("CSerial::Write: Ready to write %i bytes\n", static_cast<int>(length));
    DWORD written = 0;
    // The time the bytes went out, not when a write held up by flow control
    // came back.
    const DWORD tick = wire_ ? GetTickCount() : 0;
    if (!WriteFile(handle_, src.data(), static_cast<DWORD>(length), &written, nullptr)) {
        SERIAL_TRACE("CSerial::Write: Critial Error:\n");
    }
    if (wire_)
        wire_->Wrote(tick, src.data(), written);
    SERIAL_TRACE("CSerial::Write: %i bytes written\n", static_cast<int>(written));
    return static_cast<int>(written);
}

int CSerial::WriteTimeout(const std::string& src, int count, DWORD totalMs)
{
    SERIAL_TRACE("CSerial::WriteTimeout: Ready to write %i bytes with total timeout of %i ms\n",
                 count, static_cast<int>(totalMs));
    int written = 0;
    {
        TimeoutScope scope(handle_, [&](COMMTIMEOUTS& limits) {
            limits.WriteTotalTimeoutMultiplier = 0;
            limits.WriteTotalTimeoutConstant = totalMs;
        });
        if (scope.Active())
            written = Write(src, count);
    }
    SERIAL_TRACE("CSerial::WriteTimeout: Returned from write with %i bytes written\n", written);
    return written;
}
