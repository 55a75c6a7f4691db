// One INI or registry entry of a run section, as the Setup API carries it
// out, and the detail text of its installation-log line. Plain text logic
// without windows.h; SectionEntries.h reads the entries from the script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SectionEntry
{
    // The action word of setup-lint's plan: ini-write, ini-fields,
    // ini-to-registry, set-value, create-key, append-strings, delete-value,
    // delete-key, delete-string or skip.
    const char* action = "skip";
    // What it works on: the key ("HKLM\Software\..."), the INI file (with its
    // folder), or the name of an UpdateIniFields or Ini2Reg list.
    std::string subject;
    // Registry lines: the root ("HKCR", "HKCU", "HKLM", "HKU"; null for INI
    // entries and skipped lines), the key below it, the value's name (empty:
    // the key's default value) and its REG_* type (set-value and
    // append-strings).
    const char* root = nullptr;
    std::string subKey, valueName;
    uint32_t type = 0;
    std::string data;  // delete-string: the string taken out
    // INI lines: the section and entry written.
    std::string iniSection, iniEntry;
    const char* why = nullptr;  // skip: why the line changes nothing
};

// The detail of the entry's log line into `buffer` (`size` bytes, cut to
// fit): "value NAME, TYPE" for set-value and append-strings (NAME
// "(default)" for the default value), "value NAME" for delete-value, "value
// NAME, string TEXT" for delete-string, "[SECTION] ENTRY" for ini-write, the
// reason for skip; empty for the others. Returns `buffer`.
const char* SectionEntryDetail(const SectionEntry& entry, char* buffer, size_t size);
