// A private-profile (.ini) file with the line number of every section and
// entry, read by the rules of the system's reader: sections and keys
// compared without regard to case, blanks around keys and values removed,
// a value wholly in "..." or '...' without its quotes, lines starting with
// ";" are comments.
#pragma once

#include <string>
#include <vector>

struct IniEntry
{
    int line = 0;
    std::string key;
    std::string value;  // as the reader returns it (trimmed, quotes removed)
    std::string raw;    // "key=value" with blanks around both trimmed, quotes kept
};

struct IniSection
{
    int line = 0;
    std::string name;
    std::vector<IniEntry> entries;

    // The first entry of `key` (any case), or nullptr.
    const IniEntry* Find(const std::string& key) const;
    // Its value, empty when the key is missing.
    std::string Value(const std::string& key) const;
};

// A problem the reading itself found (no "=", no "]", text before the first
// section), with its line.
struct IniNote
{
    int line = 0;
    std::string text;
};

struct IniDocument
{
    std::vector<IniSection> sections;  // in file order, duplicates included
    std::vector<IniNote> notes;

    // The first section named `name` (any case), or nullptr.
    const IniSection* Find(const std::string& name) const;
};

IniDocument ParseIni(const std::string& text);

bool EqualNoCase(const std::string& a, const std::string& b);
