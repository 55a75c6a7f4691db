#include "JournalText.h"

#include <cstddef>

namespace {

struct TagName
{
    JournalTag tag;
    const char* name;
    size_t fields;
};

const TagName kTags[] = {
    {JournalTag::Begin, "begin", 2},          {JournalTag::FileCreated, "file-created", 1},
    {JournalTag::FileKept, "file-kept", 2},   {JournalTag::FolderMade, "folder-made", 1},
    {JournalTag::KeyMade, "key-made", 2},     {JournalTag::ValueKept, "value-kept", 5},
    {JournalTag::ValueAbsent, "value-absent", 3}, {JournalTag::IniKept, "ini-kept", 4},
    {JournalTag::IniAbsent, "ini-absent", 3}, {JournalTag::ServiceCreated, "service-created", 1},
    {JournalTag::ServiceKept, "service-kept", 4}, {JournalTag::ServiceStopped, "service-stopped", 1},
    {JournalTag::FirewallAdded, "firewall-added", 1}, {JournalTag::ProgramRan, "program-ran", 1},
};

const TagName* Find(JournalTag tag)
{
    for (const TagName& entry : kTags) {
        if (entry.tag == tag)
            return &entry;
    }
    return nullptr;
}

const TagName* Find(const std::string& name)
{
    for (const TagName& entry : kTags) {
        if (name == entry.name)
            return &entry;
    }
    return nullptr;
}

void AppendEscaped(std::string* line, const std::string& field)
{
    for (char c : field) {
        switch (c) {
        case '\\': *line += "\\\\"; break;
        case '\t': *line += "\\t"; break;
        case '\r': *line += "\\r"; break;
        case '\n': *line += "\\n"; break;
        default: *line += c; break;
        }
    }
}

// The fields of one line (without its line feed); false for a backslash
// that starts no known escape.
bool SplitLine(const std::string& line, std::vector<std::string>* fields)
{
    fields->assign(1, std::string());
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields->emplace_back();
        } else if (c != '\\') {
            fields->back() += c;
        } else if (i + 1 < line.size()) {
            const char next = line[++i];
            const char plain = next == '\\' ? '\\' : next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : 0;
            if (plain == 0)
                return false;
            fields->back() += plain;
        } else {
            return false;
        }
    }
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string JournalLine(const JournalRecord& record)
{
    const TagName* tag = Find(record.tag);
    std::string line = tag != nullptr ? tag->name : "?";
    for (const std::string& field : record.fields) {
        line += '\t';
        AppendEscaped(&line, field);
    }
    return line + '\n';
}

std::vector<JournalRecord> ReadJournal(const std::string& text, bool* damaged)
{
    *damaged = false;
    std::vector<JournalRecord> records;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        std::vector<std::string> fields;
        const TagName* tag = nullptr;
        if (!SplitLine(text.substr(start, end - start), &fields) || (tag = Find(fields[0])) == nullptr ||
            fields.size() != tag->fields + 1) {
            *damaged = true;
            break;
        }
        fields.erase(fields.begin());
        records.push_back(JournalRecord{tag->tag, std::move(fields)});
    }
    return records;
}

std::string HexOf(const void* data, size_t size)
{
    static const char kDigits[] = "0123456789abcdef";
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string hex;
    hex.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

bool BytesOfHex(const std::string& hex, std::string* bytes)
{
    bytes->clear();
    if (hex.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        *bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}
