// A setup script (Windows-95-style INF file) read on the host by the rules
// of the Setup API that decide what setup.exe sees: sections (names in any
// case; a section given twice is one section), "key = field, field, ..."
// lines, quoted text ("" inside quotes is one quote), ';' comments outside
// quotes, a trailing backslash that continues the line, and %name%
// substitution from [Strings] ("%%" is one percent sign).
#pragma once

#include <string>
#include <vector>

struct InfLine
{
    int number = 0;                   // physical line where it starts (1-based)
    bool hasKey = false;              // written "key = ..."
    std::string key;                  // the key; a lone field without "=" is its own key
    std::vector<std::string> fields;  // fields 1, 2, ... after substitution
    std::vector<std::string> raw;     // the same fields before substitution

    // Field `n` (1-based), or "" when the line has fewer fields.
    const std::string& Field(size_t n) const;
    bool HasField(size_t n) const { return n >= 1 && n <= fields.size(); }
};

struct InfSection
{
    std::string name;   // as first written
    int number = 0;     // line of its first header
    std::vector<InfLine> lines;
};

struct InfProblem
{
    int line;
    bool error;
    std::string text;
};

struct InfDocument
{
    std::vector<InfSection> sections;
    // Syntax errors (the Setup API refuses the file) and %names% that no
    // [Strings] line defines (kept as written).
    std::vector<InfProblem> problems;

    // The section of that name (any case), or null.
    const InfSection* Find(const std::string& name) const;
    // The first line of `section` with key `key` (any case), or null.
    const InfLine* FindKey(const std::string& section, const std::string& key) const;
};

InfDocument ParseInf(const std::string& text);

// Case-insensitive equality of ASCII texts, as the Setup API compares names.
bool SameName(const std::string& a, const std::string& b);
