#include "DiagReport.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
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

std::string TrimBlanks(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* word)
{
    for (; *word; ++word, ++at) {
        if (at >= text.size())
            return false;
        char c = text[at];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != *word)
            return false;
    }
    return true;
}

// `n` as lower-case hexadecimal with at least `width` digits.
std::string Hex(uint32_t n, int width)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%0*x", width, static_cast<unsigned>(n));
    return text;
}

std::string Decimal(uint32_t n)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%u", static_cast<unsigned>(n));
    return text;
}

const DiagKeyText* FindKey(const std::vector<DiagKeyText>& keys, uint32_t key)
{
    for (const DiagKeyText& k : keys) {
        if (k.key == key)
            return &k;
    }
    return nullptr;
}

const DiagValueText* FindValue(const DiagKeyText& key, uint32_t number)
{
    for (const DiagValueText& v : key.values) {
        if (v.number == number)
            return &v;
    }
    return nullptr;
}

size_t SkipSpace(const std::string& text, size_t at)
{
    while (at < text.size() && IsSpace(text[at]))
        ++at;
    return at;
}

size_t WordEnd(const std::string& text, size_t at)
{
    while (at < text.size() && !IsSpace(text[at]))
        ++at;
    return at;
}

// The pair `key`=`value` of a report decoded with the description of its key.
DiagField DecodeField(const std::vector<DiagKeyText>& keys, uint32_t keyNumber, const std::string& value,
                      bool quoted)
{
    DiagField field;
    field.key = keyNumber;
    field.value = value;
    field.quoted = quoted;
    const DiagKeyText* key = FindKey(keys, keyNumber);
    if (!key)
        return field;
    field.definition = key->description;
    field.unit = key->unit;
    if (key->unit == "String") {
        field.form = DiagForm::String;
        return field;
    }
    field.number = ParseHex(value);
    if (key->unit == "Bitmap") {
        field.form = DiagForm::Bitmap;
        field.bitsDescribed = !key->values.empty();
        for (int bit = 0; bit < 32; ++bit) {
            DiagBit state;
            state.bit = bit;
            state.set = ((field.number >> bit) & 1u) != 0;
            if (const DiagValueText* name = FindValue(*key, static_cast<uint32_t>(bit))) {
                state.described = true;
                state.name = name->text;
            }
            field.bits.push_back(state);
        }
        return field;
    }
    if (!key->values.empty()) {
        field.form = DiagForm::Coded;
        if (const DiagValueText* meaning = FindValue(*key, field.number)) {
            field.meaningKnown = true;
            field.meaning = meaning->text;
        }
        return field;
    }
    field.form = DiagForm::Number;
    return field;
}

void FormatField(const DiagField& field, const std::string& path, std::vector<std::string>& lines)
{
    const std::string key = "Key 0x" + Hex(field.key, 2);
    switch (field.form) {
    case DiagForm::Undescribed:
        lines.push_back(key + "=" + (field.quoted ? "\"" + field.value + "\"" : field.value) +
                        " not described in " + path + "!");
        return;
    case DiagForm::String:
        lines.push_back(key + " = " + field.definition);
        lines.push_back("  String = " + field.value);
        return;
    case DiagForm::Bitmap: {
        lines.push_back(key + " = " + field.definition);
        std::string bits;
        for (int bit = 31; bit >= 0; --bit)
            bits += field.bits[static_cast<size_t>(bit)].set ? '1' : '0';
        lines.push_back("  Bitmap " + bits + ":");
        if (!field.bitsDescribed)
            return;
        for (const DiagBit& bit : field.bits) {
            char number[8];
            std::snprintf(number, sizeof(number), "%02d", bit.bit);
            const std::string line = std::string("  Bit ") + number + " is " + (bit.set ? '1' : '0') + " = ";
            lines.push_back(bit.described ? line + bit.name : line + "not described in " + path + "!");
        }
        return;
    }
    case DiagForm::Coded:
        lines.push_back(key + " = " + field.definition);
        lines.push_back(field.meaningKnown ? "    0x" + Hex(field.number, 2) + " = " + field.meaning
                                           : "    0x" + Hex(field.number, 2) + " not described in " + path + "!");
        return;
    case DiagForm::Number: {
        lines.push_back(key + " = " + field.definition);
        const uint32_t n = field.number;
        const std::string tail = " = " + Decimal(n) + " " + field.unit;
        if (n > 0xFFF)
            lines.push_back("  0x" + Hex(n, 4) + tail);
        else if (n > 0xFF)
            lines.push_back("   0x" + Hex(n, 3) + tail);
        else
            lines.push_back("    0x" + Hex(n, 2) + tail);
        return;
    }
    }
}

}  // namespace

uint32_t ParseHex(const std::string& text, size_t begin)
{
    size_t at = SkipSpace(text, begin);
    if (at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        HexDigit(text[at + 2]) >= 0)
        at += 2;
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        int digit = HexDigit(text[at]);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > UINT32_MAX)
            value = UINT64_C(0x100000000);  // stays above the range however many digits follow
    }
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

DiagEntry ParseDiagEntry(const std::string& entry)
{
    DiagEntry result;
    result.key = ParseHex(entry);
    if (result.key == 0 && (entry.empty() || entry[0] != '0'))
        return result;
    result.kind = DiagEntryKind::KeyOnly;
    const size_t equals = entry.find('=');
    if (equals != std::string::npos)
        result.text = TrimBlanks(entry.substr(equals + 1));
    const size_t dash = entry.find('-');
    if (dash == std::string::npos)
        return result;
    const size_t after = dash + 1;
    if (StartsWithNoCase(entry, after, "definition")) {
        result.kind = DiagEntryKind::Definition;
    } else if (StartsWithNoCase(entry, after, "unit")) {
        result.kind = DiagEntryKind::Unit;
    } else {
        result.value = ParseHex(entry, after);
        if (result.value > 0 || (after < entry.size() && entry[after] == '0'))
            result.kind = DiagEntryKind::Value;
    }
    return result;
}

std::vector<DiagKeyText> LoadDiagKeys(std::vector<std::string> entries)
{
    std::sort(entries.begin(), entries.end());
    std::vector<DiagKeyText> keys;
    for (const std::string& text : entries) {
        DiagEntry entry = ParseDiagEntry(text);
        if (entry.kind == DiagEntryKind::Ignored)
            continue;
        auto key = std::find_if(keys.begin(), keys.end(),
                                [&](const DiagKeyText& k) { return k.key == entry.key; });
        if (key == keys.end()) {
            keys.emplace_back();
            keys.back().key = entry.key;
            key = keys.end() - 1;
        }
        switch (entry.kind) {
        case DiagEntryKind::Definition:
            key->description = entry.text;
            break;
        case DiagEntryKind::Unit:
            key->unit = entry.text;
            break;
        case DiagEntryKind::Value:
            key->values.push_back(DiagValueText{entry.value, entry.text});
            break;
        default:
            break;
        }
    }
    return keys;
}

std::vector<DiagRecord> DecodeDiagRecords(const std::vector<DiagKeyText>& keys, const std::string& report)
{
    std::vector<DiagRecord> records;
    size_t at = 0;
    while (report.find("DIAG ", at) != std::string::npos) {
        // Everything up to the first "DIAG" and the "<" after it goes.
        const size_t open = report.find('<', report.find("DIAG", at) + 4);
        if (open == std::string::npos)
            break;
        at = SkipSpace(report, open + 1);
        const size_t tokenEnd = WordEnd(report, at);
        DiagRecord record;
        record.token = report.substr(at, tokenEnd - at);
        // A record without pairs ends at its token: "DIAG <A0>".
        const size_t close = record.token.find('>');
        bool recordEnded = close != std::string::npos;
        if (recordEnded) {
            record.token.resize(close);
            at += close + 1;
        } else {
            at = tokenEnd;
        }

        while (!recordEnded) {
            const size_t equals = report.find('=', at);
            if (equals == std::string::npos)
                break;
            if (std::find(report.begin() + at, report.begin() + equals, '>') != report.begin() + equals)
                break;  // the record ended before the next pair
            const uint32_t key = ParseHex(report.substr(at, equals - at));

            const size_t wordStart = SkipSpace(report, equals + 1);
            const size_t wordEnd = WordEnd(report, wordStart);
            const std::string word = report.substr(wordStart, wordEnd - wordStart);
            at = wordEnd;
            std::string value;
            const size_t quote = word.find('"');
            const bool quoted = quote != std::string::npos;
            if (quoted) {
                const size_t closing = word.find('"', quote + 1);
                if (closing != std::string::npos) {
                    value = word.substr(quote + 1, closing - quote - 1);
                    recordEnded = word.find('>', closing + 1) != std::string::npos;
                } else {
                    value = word.substr(quote + 1);
                    // The text goes on after the blank up to the next quote;
                    // a quote that never comes adds nothing.
                    const size_t rest = at < report.size() ? at + 1 : at;
                    const size_t next = report.find('"', rest);
                    if (next != std::string::npos) {
                        value += ' ';
                        value += report.substr(rest, next - rest);
                        at = next + 1;
                    }
                }
                size_t blanks = 0;
                while (blanks < value.size() && IsBlank(value[blanks]))
                    ++blanks;
                value.erase(0, blanks);
            } else {
                const size_t end = word.find('>');
                recordEnded = end != std::string::npos;
                value = recordEnded ? word.substr(0, end) : word;
            }
            if (key <= 0xFF)
                record.fields.push_back(DecodeField(keys, key, value, quoted));
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<std::string> FormatDiagLines(const std::vector<DiagRecord>& records,
                                         const std::string& definitionPath)
{
    std::vector<std::string> lines;
    std::string lastToken;
    for (const DiagRecord& record : records) {
        if (record.token != lastToken) {
            lines.push_back("Token = 0x" + record.token);
            lastToken = record.token;
        }
        for (const DiagField& field : record.fields)
            FormatField(field, definitionPath, lines);
    }
    // Each line goes into the log as one line: a CR or LF that a modem's
    // value brings along would start a line without its time prefix, so it
    // is shown as '.', like the other control bytes.
    for (std::string& line : lines)
        std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, '.');
    return lines;
}

std::vector<std::string> DecodeDiagLines(const std::vector<DiagKeyText>& keys,
                                         const std::string& report,
                                         const std::string& definitionPath)
{
    return FormatDiagLines(DecodeDiagRecords(keys, report), definitionPath);
}
