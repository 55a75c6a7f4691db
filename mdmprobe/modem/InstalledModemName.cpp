#include "InstalledModemName.h"

bool InstalledModelMatches(const std::string& model, const std::string& tapiModemName)
{
    const size_t end = model.find_last_not_of(' ');
    if (end == std::string::npos)
        return false;  // empty, or blanks only
    const std::string trimmed = model.substr(0, end + 1);
    if (trimmed.find(kIpVirtualModem) != std::string::npos)
        return false;

    const bool substring = !tapiModemName.empty() && tapiModemName[0] == '?';
    const std::string name = substring ? tapiModemName.substr(1) : tapiModemName;
    return trimmed == name || (substring && trimmed.find(name) != std::string::npos);
}
