// Access to the modem definition file: the program's own path with ".ini"
// instead of ".exe" (C:\Tools\mdmprobe.exe -> C:\Tools\mdmprobe.ini).
#pragma once

#include <string>

class CIniFile
{
public:
    CIniFile();

    const std::string& GetPath() const { return path_; }

private:
    std::string path_;  // full name of the definition file
};
