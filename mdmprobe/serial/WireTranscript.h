// The run's exchange with the modem as it went over the wire, for the result
// report: every byte written to and read from the serial port and every
// open and close of the port, in the order they happened.
//
// Times are milliseconds since the first open of the run, taken from the
// system tick count the caller passes (wrap-around safe). Bytes of one
// direction that follow each other without a gap of more than kBurstGapMs
// form one entry (a burst). Memory is bounded: once the entries hold more
// than kLimitBytes (their bytes plus a fixed cost per entry) the oldest
// bytes are dropped, whole entries first, and counted.
//
// Threading: no lock; the serial port's user (one worker at a time, then
// the main thread once the workers have ended) records into it.
// Plain strings only: built and tested on the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

enum class WireKind : unsigned char
{
    Open,   // the port was opened; text: the port's name
    Close,  // the port was closed; text: the port's name
    Out,    // bytes written to the modem
    In,     // bytes read from the modem
};

struct WireEntry
{
    WireKind kind = WireKind::Open;
    uint32_t ms = 0;      // when the entry began, ms since the first open
    uint32_t lastMs = 0;  // when its latest bytes were added
    std::string text;     // the bytes (Out, In) or the port's name (Open, Close)
};

class CWireTranscript
{
public:
    static constexpr uint32_t kBurstGapMs = 20;
    static constexpr size_t kLimitBytes = 256 * 1024;
    // What an entry costs besides its text, counted against kLimitBytes.
    static constexpr size_t kEntryCost = sizeof(WireEntry);

    void Opened(uint32_t tick, const std::string& port) { AddEvent(WireKind::Open, tick, port); }
    void Closed(uint32_t tick, const std::string& port) { AddEvent(WireKind::Close, tick, port); }
    void Wrote(uint32_t tick, const char* bytes, size_t count) { AddBytes(WireKind::Out, tick, bytes, count); }
    void Read(uint32_t tick, const char* bytes, size_t count) { AddBytes(WireKind::In, tick, bytes, count); }

    const std::deque<WireEntry>& Entries() const { return entries_; }
    // Bytes written or read that were dropped to keep within the limit.
    uint64_t DroppedBytes() const { return droppedBytes_; }
    // What the entries held now count against kLimitBytes.
    size_t HeldBytes() const { return held_; }

private:
    void AddEvent(WireKind kind, uint32_t tick, const std::string& port);
    void AddBytes(WireKind kind, uint32_t tick, const char* bytes, size_t count);
    uint32_t MsAt(uint32_t tick);
    // Drops the oldest bytes until the entries fit again, with room to spare
    // so that a flood does not trim at every read.
    void Trim();

    std::deque<WireEntry> entries_;
    size_t held_ = 0;
    uint64_t droppedBytes_ = 0;
    bool started_ = false;
    uint32_t originTick_ = 0;
};
