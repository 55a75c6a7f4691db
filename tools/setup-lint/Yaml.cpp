#include "Yaml.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// The characters of 0x80 to 0x9F in code page 1252 (0 where it has none:
// those bytes stay as the Latin-1 control characters).
const unsigned short kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(unsigned code, std::string* out)
{
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | code >> 6);
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | code >> 12);
        *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsBooleanOrNullWord(const std::string& text)
{
    static const char* const words[] = {"y", "n", "yes", "no", "on", "off", "true", "false", "null"};
    std::string lower;
    for (const char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* word : words)
        if (lower == word) return true;
    return false;
}

bool IsPlainSafe(const std::string& text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])) || text.back() == ' ') return false;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 || !(std::isalnum(u) || std::strchr(" .,-_()/+", c))) return false;
    }
    return !IsBooleanOrNullWord(text);
}

}  // namespace

std::string Utf8FromWindows1252(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const unsigned high = byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : 0;
        AppendUtf8(high != 0 ? high : byte, &out);
    }
    return out;
}

std::string YamlScalar(const std::string& text)
{
    if (IsPlainSafe(text)) return text;
    bool control = false;
    for (const char c : text) control = control || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    if (!control) {
        std::string quoted = "'";
        for (const char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        return quoted + "'";
    }
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (u < 0x20 || u == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}
