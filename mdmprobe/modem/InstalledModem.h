// Is the identified modem installed as a Windows modem? Looks the model up in
// the registry's list of installed modems (the modem device class), without
// the telephony interface.
#pragma once

#include <string>

// The "Model" value of the installed modem numbered `index` ("0000" for 0)
// below HKEY_LOCAL_MACHINE: SYSTEM\CurrentControlSet\Services\Class\Modem on
// Windows 95/98/Me, the modem device class key under
// SYSTEM\CurrentControlSet\Control\Class on the NT family. Empty when the key
// or the value is missing, or `index` is outside 0 to 9999.
std::string ReadInstalledModel(int index);

// True when one of the installed modems 0000 to 0009 matches `tapiModemName`
// (InstalledModelMatches: a leading "?" allows a match inside the model name).
bool IsModemInstalled(const std::string& tapiModemName);
