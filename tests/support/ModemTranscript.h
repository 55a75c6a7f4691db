// Reads the modem simulator's transcript: one line per event,
// "<ms> <kind> <escaped text>" with kind "<" (bytes from the PC), ">" (bytes
// to the PC) or "#" (an event such as "line 115200 8N1 crtscts").
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct TranscriptEntry
{
    long ms = 0;
    char kind = 0;     // '<', '>' or '#'
    std::string text;  // unescaped bytes for '<' and '>', the event text for '#'
};

class ModemTranscript
{
public:
    // Reads the file (a Windows or Unix path, as the caller can open it).
    bool Load(const std::string& path);

    const std::vector<TranscriptEntry>& Entries() const { return entries_; }
    // All bytes the PC sent, in order.
    std::string Received() const;
    // Entries of one kind ('<', '>' or '#'), in order.
    std::vector<TranscriptEntry> OfKind(char kind) const;
    // Event lines ('#') that start with `prefix`, in order.
    std::vector<TranscriptEntry> Events(const std::string& prefix) const;
    // The last "line ..." event without "line ", or "" when there is none.
    std::string LastLineSettings() const;

private:
    std::vector<TranscriptEntry> entries_;
};

// What a test waits for in a transcript.
using TranscriptCondition = std::function<bool(const ModemTranscript&)>;
// The simulator has received at least `count` bytes from the PC.
TranscriptCondition ReceivedBytes(size_t count);
// The simulator has sent at least `count` bytes to the PC.
TranscriptCondition SentBytes(size_t count);
// At least `count` entries of `kind` ('<', '>' or '#').
TranscriptCondition HasEntries(char kind, size_t count);
// At least `count` event lines ('#') start with `prefix`.
TranscriptCondition HasEvents(const std::string& prefix, size_t count = 1);

// The simulator writes each event a moment after it happened, which may be
// after the program's call returned: reads the transcript at `path` every
// 10 ms until `ready` holds or `deadlineMs` have passed, and returns the last
// reading (the caller's checks then fail on what was missing).
// `loaded` is false when the file could not be read at all.
ModemTranscript WaitForTranscript(const std::string& path, const TranscriptCondition& ready,
                                  unsigned deadlineMs = 5000, bool* loaded = nullptr);

// "\r\n\\\x1b" style escapes back to bytes.
std::string Unescape(const std::string& text);

}  // namespace testsupport
