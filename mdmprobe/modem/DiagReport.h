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

// How a report value is shown, chosen by its key's description.
enum class DiagForm
{
    Undescribed,  // no description for the key
    String,       // unit "String": the text
    Bitmap,       // unit "Bitmap": 32 bits
    Coded,        // another unit, and the key has value descriptions: the value's text
    Number,       // another unit, no value descriptions: the number with its unit
};

struct DiagBit
{
    int bit = 0;
    bool set = false;
    bool described = false;
    std::string name;  // the bit's description
};

// One key=value pair of a record, decoded with its key's description.
struct DiagField
{
    uint32_t key = 0;
    std::string value;  // as in the report; a quoted text without its quotes
    bool quoted = false;
    DiagForm form = DiagForm::Undescribed;
    std::string definition;  // the key's description and unit (not for Undescribed)
    std::string unit;
    uint32_t number = 0;         // Bitmap, Coded, Number: the value read as hexadecimal
    bool meaningKnown = false;   // Coded: the value has a description ...
    std::string meaning;         // ... and this is it
    bool bitsDescribed = false;  // Bitmap: the key has bit descriptions
    std::vector<DiagBit> bits;   // Bitmap: bits 0 to 31
};

struct DiagRecord
{
    std::string token;
    std::vector<DiagField> fields;  // keys above FF are left out
};

// The records of `report` with every pair decoded by `keys`.
std::vector<DiagRecord> DecodeDiagRecords(const std::vector<DiagKeyText>& keys, const std::string& report);

// The log lines (without line ends) of decoded records: a token line
// whenever the token differs from the previous record's, then each pair's
// lines. `definitionPath` is named in the lines for keys and values without
// a description.
std::vector<std::string> FormatDiagLines(const std::vector<DiagRecord>& records,
                                         const std::string& definitionPath);

// FormatDiagLines of DecodeDiagRecords.
std::vector<std::string> DecodeDiagLines(const std::vector<DiagKeyText>& keys,
                                         const std::string& report,
                                         const std::string& definitionPath);
