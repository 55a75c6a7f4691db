#include "IniDocument.h"

#include <cctype>

namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

const IniEntry* IniSection::Find(const std::string& key) const
{
    for (const IniEntry& entry : entries) {
        if (EqualNoCase(entry.key, key))
            return &entry;
    }
    return nullptr;
}

std::string IniSection::Value(const std::string& key) const
{
    const IniEntry* entry = Find(key);
    return entry ? entry->value : std::string();
}

const IniSection* IniDocument::Find(const std::string& name) const
{
    for (const IniSection& section : sections) {
        if (EqualNoCase(section.name, name))
            return &section;
    }
    return nullptr;
}

IniDocument ParseIni(const std::string& text)
{
    IniDocument document;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        size_t stop = lf == std::string::npos ? text.size() : lf;
        const std::string line = Trim(text.substr(start, stop - start));
        start = stop + 1;
        ++number;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            if (close == std::string::npos) {
                document.notes.push_back(
                    {number, "section header without \"]\": the reader ignores it, so the lines "
                             "below belong to the section before"});
                continue;
            }
            document.sections.push_back({number, Trim(line.substr(1, close - 1)), {}});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            document.notes.push_back({number, "line without \"=\" is not a value"});
            continue;
        }
        if (document.sections.empty()) {
            document.notes.push_back({number, "value before the first section is never read"});
            continue;
        }
        IniEntry entry;
        entry.line = number;
        entry.key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        entry.value = Unquote(value);
        entry.raw = entry.key + "=" + value;
        document.sections.back().entries.push_back(entry);
    }
    return document;
}
