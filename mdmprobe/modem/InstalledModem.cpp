#include "InstalledModem.h"

#include "BufCopy.h"
#include "InstalledModemName.h"
#include "WindowsFamily.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// One key per installed modem below these, named by a four-digit number.
constexpr char kModemClass9x[] = "SYSTEM\\CurrentControlSet\\Services\\Class\\Modem";
constexpr char kModemClassNt[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}";
constexpr int kInstalledModemSlots = 10;  // 0000 to 0009 are looked at

}  // namespace

std::string ReadInstalledModel(int index)
{
    if (index < 0 || index > 9999)
        return std::string();
    char keyName[MAX_PATH];
    BufFormat(keyName, sizeof(keyName), "%s\\%04d", IsNtFamily() ? kModemClassNt : kModemClass9x,
              index);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();

    std::string model;
    DWORD size = 0;
    if (RegQueryValueExA(key, "Model", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
        size > 0) {
        // One byte more than asked for: a value stored without its terminator
        // still ends inside the buffer.
        std::vector<char> text(size + 1, '\0');
        DWORD got = size;
        if (RegQueryValueExA(key, "Model", nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                             &got) == ERROR_SUCCESS)
            model.assign(text.data(), strnlen(text.data(), got));
    }
    RegCloseKey(key);
    return model;
}

bool IsModemInstalled(const std::string& tapiModemName)
{
    for (int index = 0; index < kInstalledModemSlots; ++index) {
        if (InstalledModelMatches(ReadInstalledModel(index), tapiModemName))
            return true;
    }
    return false;
}
