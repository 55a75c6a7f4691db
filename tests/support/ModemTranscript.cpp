#include "ModemTranscript.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

namespace testsupport {

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        switch (c) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'x':
            if (i + 2 < text.size()) {
                out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
                i += 2;
            }
            break;
        default: out += c; break;
        }
    }
    return out;
}

bool ModemTranscript::Load(const std::string& path)
{
    entries_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        size_t space = line.find(' ');
        if (space == std::string::npos || space + 2 > line.size())
            continue;
        TranscriptEntry entry;
        entry.ms = std::strtol(line.c_str(), nullptr, 10);
        entry.kind = line[space + 1];
        std::string rest = space + 3 <= line.size() ? line.substr(space + 3) : std::string();
        entry.text = entry.kind == '#' ? rest : Unescape(rest);
        entries_.push_back(entry);
    }
    return true;
}

std::string ModemTranscript::Received() const
{
    std::string bytes;
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == '<')
            bytes += e.text;
    }
    return bytes;
}

std::vector<TranscriptEntry> ModemTranscript::OfKind(char kind) const
{
    std::vector<TranscriptEntry> found;
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == kind)
            found.push_back(e);
    }
    return found;
}

std::vector<TranscriptEntry> ModemTranscript::Events(const std::string& prefix) const
{
    std::vector<TranscriptEntry> found;
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == '#' && e.text.compare(0, prefix.size(), prefix) == 0)
            found.push_back(e);
    }
    return found;
}

std::string ModemTranscript::LastLineSettings() const
{
    std::vector<TranscriptEntry> lines = Events("line ");
    return lines.empty() ? std::string() : lines.back().text.substr(5);
}

TranscriptCondition ReceivedBytes(size_t count)
{
    return [count](const ModemTranscript& t) { return t.Received().size() >= count; };
}

TranscriptCondition SentBytes(size_t count)
{
    return [count](const ModemTranscript& t) {
        size_t sent = 0;
        for (const TranscriptEntry& e : t.OfKind('>'))
            sent += e.text.size();
        return sent >= count;
    };
}

TranscriptCondition HasEntries(char kind, size_t count)
{
    return [kind, count](const ModemTranscript& t) { return t.OfKind(kind).size() >= count; };
}

TranscriptCondition HasEvents(const std::string& prefix, size_t count)
{
    return [prefix, count](const ModemTranscript& t) { return t.Events(prefix).size() >= count; };
}

ModemTranscript WaitForTranscript(const std::string& path, const TranscriptCondition& ready, unsigned deadlineMs,
                                  bool* loaded)
{
    const DWORD start = GetTickCount();
    for (;;) {
        ModemTranscript transcript;
        const bool ok = transcript.Load(path);
        if (loaded)
            *loaded = ok;
        if ((ok && ready(transcript)) || GetTickCount() - start >= deadlineMs)
            return transcript;
        Sleep(10);
    }
}

}  // namespace testsupport
