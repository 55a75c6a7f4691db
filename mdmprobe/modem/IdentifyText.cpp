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
    if (!TextBeforeOk(answer, true, text))
        return false;
    const size_t cr = text.rfind('\r');
    if (cr != std::string::npos)
        text.erase(cr);
    DropThrough(text, "+GMM:");
    name = Trim(text, " \"");
    return true;
}

bool ParseModemName2(const std::string& answer, std::string& name)
{
    return TextBeforeOk(answer, true, name);
}

bool ParseFirmwareVersion(const std::string& answer, std::string& version)
{
    std::string text;
    if (!TextBeforeOk(answer, false, text))
        return false;
    if (!DropThrough(text, "Version") && !DropThrough(text, "Ver.") && !DropThrough(text, "Ver") &&
        text.empty())
        return false;
    text = Trim(text, " ");
    // A bare number after the keyword is the version as it stands; a line
    // end ends it like a blank, so a second line never joins the version.
    version = text.substr(0, text.find_first_of(" /\r\n"));
    return true;
}
