#include "IdentifyText.h"

namespace {

constexpr char kLineSpace[] = " \r\n";

std::string Trim(const std::string& text, const char* characters)
{
    const size_t first = text.find_first_not_of(characters);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

// The text before the last (or first) "OK", trimmed of blanks and line ends;
// false when there is no "OK".
bool TextBeforeOk(const std::string& answer, bool last, std::string& text)
{
    const size_t ok = last ? answer.rfind("OK") : answer.find("OK");
    if (ok == std::string::npos)
        return false;
    text = Trim(answer.substr(0, ok), kLineSpace);
    return true;
}

bool IsControlByte(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// `text` without its control bytes; CR and LF stay when `keepLineEnds`.
std::string WithoutControlBytes(const std::string& text, bool keepLineEnds)
{
    std::string clean;
    for (char c : text) {
        if (!IsControlByte(c) || (keepLineEnds && (c == '\r' || c == '\n')))
            clean += c;
    }
    return clean;
}

// Drops everything up to and including the first `keyword`; false when the
// text does not hold it.
bool DropThrough(std::string& text, const char* keyword)
{
    const size_t at = text.find(keyword);
    if (at == std::string::npos)
        return false;
    text.erase(0, at + std::char_traits<char>::length(keyword));
    return true;
}

}  // namespace

bool ParseModemName(const std::string& answer, std::string& name)
{
    std::string text;
    if (!TextBeforeOk(WithoutControlBytes(answer, true), true, text))
        return false;
    const size_t cr = text.rfind('\r');
    if (cr != std::string::npos)
        text.erase(cr);
    DropThrough(text, "+GMM:");
    name = WithoutControlBytes(Trim(text, " \""), false);
    return true;
}

bool ParseModemName2(const std::string& answer, std::string& name)
{
    std::string text;
    if (!TextBeforeOk(WithoutControlBytes(answer, true), true, text))
        return false;
    name = WithoutControlBytes(text, false);
    return true;
}

bool ParseFirmwareVersion(const std::string& answer, std::string& version)
{
    std::string text;
    if (!TextBeforeOk(WithoutControlBytes(answer, true), false, text))
        return false;
    if (!DropThrough(text, "Version") && !DropThrough(text, "Ver.") && !DropThrough(text, "Ver") &&
        text.empty())
        return false;
    text = Trim(text, " ");
    // A bare number after the keyword is the version as it stands; a line
    // end ends it like a blank, so a second line never joins the version.
    version = WithoutControlBytes(text.substr(0, text.find_first_of(" /\r\n")), false);
    return true;
}
