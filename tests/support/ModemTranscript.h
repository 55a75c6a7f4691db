// Reads the modem simulator's transcript: one line per event,
// "<ms> <kind> <escaped text>" with kind "<" (bytes from the PC), ">" (bytes
// to the PC) or "#" (an event such as "line 115200 8N1 crtscts").
#pragma once

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

// "\r\n\\\x1b" style escapes back to bytes.
std::string Unescape(const std::string& text);

}  // namespace testsupport
