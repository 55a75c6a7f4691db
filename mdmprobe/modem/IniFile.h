// Access to the modem definition file: the program's own path with ".ini"
// instead of ".exe" (C:\Tools\mdmprobe.exe -> C:\Tools\mdmprobe.ini). Values
// come from the system's private-profile reader, so names are matched
// without regard to case, values lose surrounding blanks and quotes, and a
// value is cut to kValueMax characters.
//
// One object per run, created at start-up. Not locked: the port-scan and
// test workers use it one after the other.
#pragma once

#include <string>
#include <vector>

class CIniFile
{
public:
    static constexpr size_t kValueMax = 79;  // longer values arrive cut

    CIniFile();
    // A definition file at `path` instead of the one beside the program.
    explicit CIniFile(std::string path);

    const std::string& GetPath() const { return path_; }

    // Reads the section names of the file (replacing those of an earlier
    // call). Returns the index of the last name found, 0 when there is none,
    // or -1 when the file does not exist or cannot be read.
    int LoadSections();
    const std::vector<std::string>& GetSections() const { return sections_; }

    // The value of `key` in `section`, at most kValueMax characters; empty
    // when the section or the key is missing (or the value is literally the
    // reader's default text "GetValuenotok").
    std::string GetValue(const std::string& section, const std::string& key) const;

    // Every key=value entry of `section` in file order; empty when the
    // section is missing or empty.
    std::vector<std::string> GetSection(const std::string& section) const;

private:
    std::string path_;                   // full name of the definition file
    std::vector<std::string> sections_;  // names found by LoadSections
};
