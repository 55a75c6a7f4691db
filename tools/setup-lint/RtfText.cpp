#include "RtfText.h"

#include <cctype>
#include <cstdlib>

namespace {

bool IsSkippedGroup(const std::string& word)
{
    static const char* const skipped[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer"};
    for (const char* name : skipped)
        if (word == name) return true;
    return false;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

std::string RtfFirstParagraph(const std::string& rtf)
{
    std::string line;
    int depth = 0;
    int skipFrom = -1;         // the depth of the group being left out; -1 none
    bool groupStart = false;   // just after "{": its first control word may name a table
    size_t standIns = 0;       // characters to skip after a "\uN"
    const size_t size = rtf.size();
    for (size_t i = 0; i < size; ++i) {
        const char c = rtf[i];
        const bool wasGroupStart = groupStart;
        groupStart = false;
        if (c == '{') {
            ++depth;
            groupStart = true;
            continue;
        }
        if (c == '}') {
            if (skipFrom == depth) skipFrom = -1;
            --depth;
            continue;
        }
        if (c == '\r' || c == '\n') continue;
        std::string text;  // what this token adds
        if (c != '\\') {
            text = c;
        } else if (i + 1 < size && std::isalpha(static_cast<unsigned char>(rtf[i + 1]))) {
            size_t end = i + 1;
            while (end < size && std::isalpha(static_cast<unsigned char>(rtf[end]))) ++end;
            const std::string word = rtf.substr(i + 1, end - i - 1);
            const size_t numberStart = end;
            if (end < size && rtf[end] == '-') ++end;
            while (end < size && std::isdigit(static_cast<unsigned char>(rtf[end]))) ++end;
            const long number = std::strtol(rtf.substr(numberStart, end - numberStart).c_str(), nullptr, 10);
            i = end < size && rtf[end] == ' ' ? end : end - 1;  // a blank ends the word and belongs to it
            if (wasGroupStart && skipFrom < 0 && IsSkippedGroup(word)) skipFrom = depth;
            if (skipFrom >= 0) continue;
            if (word == "par" || word == "line") {
                if (!Trimmed(line).empty()) return Trimmed(line);
                line.clear();
            } else if (word == "tab") {
                line += ' ';
            } else if (word == "u") {
                line += number >= 0 && number < 256 ? static_cast<char>(number) : '?';
                standIns = 1;
            }
            continue;
        } else if (i + 1 < size && rtf[i + 1] == '\'') {
            const int high = i + 2 < size ? HexDigit(rtf[i + 2]) : -1;
            const int low = i + 3 < size ? HexDigit(rtf[i + 3]) : -1;
            i += 3;
            if (high < 0 || low < 0) continue;
            text = static_cast<char>(high * 16 + low);
        } else if (i + 1 < size) {
            ++i;
            const char symbol = rtf[i];
            if (symbol == '*' && wasGroupStart && skipFrom < 0) skipFrom = depth;
            if (symbol == '\\' || symbol == '{' || symbol == '}') text = symbol;
            if (symbol == '~') text = " ";
            if (symbol == '_') text = "-";
        }
        if (skipFrom >= 0 || text.empty()) continue;
        if (standIns > 0) {
            --standIns;
            continue;
        }
        line += text;
    }
    return Trimmed(line);
}
