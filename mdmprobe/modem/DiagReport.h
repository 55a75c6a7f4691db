// The modem's diagnostic report and the key descriptions that turn it into
// readable log lines. Plain strings only: built, tested and fuzzed on the
// host; DiagTest.cpp feeds it from the definition file and the modem.
//
// Report: one or more records "DIAG <token key=value key=value ...>". Keys are
// hexadecimal (0 to FF); a value is a hexadecimal number or a text in double
// quotes that may hold blanks; the ">" may stick to the last value.
//
// Descriptions: the entries of the definition-file section named like the
// diagnostic command, all numbers hexadecimal:
//   K-definition=text   the key's description
//   K-unit=text         its unit; "String" and "Bitmap" (exact case) select
//                       text and bit-field display
//   K-V=text            text of value V (of bit V for a "Bitmap" key)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DiagValueText
{
    uint32_t number = 0;  // value, or bit number of a "Bitmap" key
    std::string text;
};

struct DiagKeyText
{
    uint32_t key = 0;
    std::string description;
    std::string unit;
    std::vector<DiagValueText> values;  // in insertion order; the first match counts
};

// What one section entry says.
enum class DiagEntryKind
{
    Ignored,     // no key number at its start
    KeyOnly,     // a key number but nothing recognised after its "-"
    Definition,  // K-definition=text (any case)
    Unit,        // K-unit=text (any case)
    Value,       // K-V=text
};

struct DiagEntry
{
    DiagEntryKind kind = DiagEntryKind::Ignored;
    uint32_t key = 0;
    uint32_t value = 0;  // for Value
    std::string text;    // the text after the first "=", blanks trimmed; empty without "="
};

// Hexadecimal number at `text[begin]`: leading white space skipped, an
// optional "0x", then hex digits up to the first other character. Values
// beyond 32 bits saturate at FFFFFFFF; no digits give 0.
uint32_t ParseHex(const std::string& text, size_t begin = 0);

DiagEntry ParseDiagEntry(const std::string& entry);

// The key descriptions of a section's entries: the entries are sorted in
// byte order first; keys appear in the order of their first entry.
std::vector<DiagKeyText> LoadDiagKeys(std::vector<std::string> entries);

// The log lines (without line ends) for `report`. `definitionPath` is named
// in the lines for keys and values without a description.
std::vector<std::string> DecodeDiagLines(const std::vector<DiagKeyText>& keys,
                                         const std::string& report,
                                         const std::string& definitionPath);
