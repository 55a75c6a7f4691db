#include "DebugOptions.h"

#include <initializer_list>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Option names and sink keywords match in any case (ASCII letters only).
bool EqualNoCase(const std::string& text, const char* word)
{
    size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i) {
        const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (a != word[i])
            return false;
    }
    return i == text.size() && word[i] == '\0';
}

// Removes one pair of enclosing quotes (the text starts and ends with a quote
// and holds at least two), or a lone leading quote (the only quote in it).
std::string Unquote(const std::string& text)
{
    size_t quotes = 0;
    for (char c : text) {
        if (c == '"')
            ++quotes;
    }
    if (quotes >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    if (quotes == 1 && text.front() == '"')
        return text.substr(1);
    return text;
}

}  // namespace

std::vector<std::string> DebugSplitList(const std::string& text)
{
    std::vector<std::string> items;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = pos;
        bool inQuotes = false;
        while (end < text.size() && (text[end] != ',' || inQuotes)) {
            if (text[end] == '"')
                inQuotes = !inQuotes;
            ++end;
        }
        std::string item = Unquote(text.substr(pos, end - pos));
        if (item.empty())
            break;  // an empty item ends the list
        items.push_back(item);
        pos = end + 1;
    }
    return items;
}

std::vector<DebugOption> DebugParseOptions(const char* commandLine)
{
    std::vector<DebugOption> options;
    if (commandLine == nullptr)
        return options;
    const std::string line(commandLine);
    size_t pos = 0;
    for (;;) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        if (pos >= line.size())
            break;
        size_t end = pos;
        bool inQuotes = false;
        while (end < line.size() && (!IsBlank(line[end]) || inQuotes)) {
            if (line[end] == '"')
                inQuotes = !inQuotes;
            ++end;
        }
        const std::string token = line.substr(pos, end - pos);
        pos = end;

        DebugOption option;
        if (token[0] == '/' || token[0] == '-') {
            option.hasName = true;
            size_t colon = std::string::npos;
            bool quoted = false;
            for (size_t i = 1; i < token.size(); ++i) {
                if (token[i] == '"') {
                    quoted = !quoted;
                } else if (token[i] == ':' && !quoted) {
                    colon = i;
                    break;
                }
            }
            option.name = token.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
            if (colon != std::string::npos) {
                option.hasValue = true;
                option.value = DebugSplitList(token.substr(colon + 1));
            }
        } else {
            option.hasValue = true;
            std::string value = Unquote(token);
            if (!value.empty())
                option.value.push_back(value);
        }
        options.push_back(option);
    }
    return options;
}

DebugSetup DebugChooseSetup(const char* commandLine, const char* debugVariable)
{
    bool found = false;
    std::vector<std::string> settings;
    for (const DebugOption& option : DebugParseOptions(commandLine)) {
        if (option.hasName && EqualNoCase(option.name, "debug")) {
            found = true;
            settings = option.value;
            break;
        }
    }
    if (!found && debugVariable != nullptr)
        settings = DebugSplitList(debugVariable);

    DebugSetup setup;
    size_t next = 0;
    if (!settings.empty() && settings[0].size() == 1 && settings[0][0] >= '0' && settings[0][0] <= '3') {
        setup.level = settings[0][0] - '0';
        next = 1;
    }
    if (next == settings.size()) {
        setup.toStdout = true;
        setup.toDebugPipe = true;
        return setup;
    }
    for (; next < settings.size(); ++next) {
        const std::string& item = settings[next];
        if (EqualNoCase(item, "stdout"))
            setup.toStdout = true;
        else if (!EqualNoCase(item, "msdbg"))
            setup.sinks.push_back(item);
    }
    return setup;
}

bool DebugNameIsDevice(const std::string& name)
{
    // The namespaces that bypass the file-name rules; "/" counts as "\\".
    std::string path = name;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    if (path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "\\\\?\\") == 0 ||
        path.compare(0, 4, "\\??\\") == 0)
        return true;

    // The last component, without a drive, cut at its first dot, without
    // trailing blanks and colons.
    size_t start = path.find_last_of('\\');
    start = start == std::string::npos ? 0 : start + 1;
    if (start == 0 && path.size() >= 2 && path[1] == ':')
        start = 2;
    const size_t dot = path.find('.', start);
    std::string base = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    while (!base.empty() && (base.back() == ' ' || base.back() == ':'))
        base.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (EqualNoCase(base, device))
            return true;
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        const std::string stem = base.substr(0, 3);
        return EqualNoCase(stem, "com") || EqualNoCase(stem, "lpt");
    }
    return false;
}
