#include "PortEnum.h"

#include "WindowsFamily.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr char kSerialCommKey[] = "Hardware\\DeviceMap\\SerialComm";
constexpr char kEnumKey[] = "Enum";
constexpr char kClassKey[] = "System\\CurrentControlSet\\Services\\Class\\";
constexpr DWORD kNameSize = 256;       // port names, driver keys, subkey names
constexpr DWORD kValueNameSize = 262;  // value names of SerialComm (not used)

CNameBlock g_ports;

// NT family: the data of every value, whatever its type. A value whose name
// or data does not fit is skipped; the walk goes on behind it.
void ReadSerialComm(HKEY key)
{
    for (DWORD index = 0;; ++index) {
        char valueName[kValueNameSize];
        DWORD valueNameSize = sizeof(valueName);
        BYTE data[kNameSize];
        DWORD dataSize = sizeof(data);
        LONG result = RegEnumValueA(key, index, valueName, &valueNameSize, nullptr, nullptr, data,
                                    &dataSize);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;  // normally the end of the list
        g_ports.AppendUnique(reinterpret_cast<const char*>(data), dataSize);
    }
}

// A string value ("" when it is missing, not a string or too long).
std::string ReadString(HKEY key, const char* name)
{
    char data[kNameSize];
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    const void* zero = std::memchr(data, '\0', size);
    return std::string(data, zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : size);
}

// The class entry of `driver` marks a serial port: its PortSubClass is one
// raw byte of value 1 or 2.
bool IsSerialPortClass(const std::string& driver)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kClassKey + driver).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    BYTE data[4];
    DWORD size = sizeof(data);
    DWORD type = 0;
    const bool serial = RegQueryValueExA(key, "PortSubClass", nullptr, &type, data, &size) ==
                            ERROR_SUCCESS &&
                        type == REG_BINARY && size == 1 && (data[0] == 1 || data[0] == 2);
    RegCloseKey(key);
    return serial;
}

// Calls visit(subkey) for every subkey of `key` that can be opened, by index
// until the enumeration reports an error.
template <typename Visit>
void ForEachSubkey(HKEY key, Visit visit)
{
    for (DWORD index = 0;; ++index) {
        char name[kNameSize];
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY subkey;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS)
            continue;
        visit(subkey);
        RegCloseKey(subkey);
    }
}

// Windows 95/98/Me: bus, device and instance keys below HKLM\Enum; an
// instance names its port and its driver's class entry.
void ReadEnumTree(HKEY enumKey)
{
    ForEachSubkey(enumKey, [](HKEY bus) {
        ForEachSubkey(bus, [](HKEY device) {
            ForEachSubkey(device, [](HKEY instance) {
                const std::string port = ReadString(instance, "PortName");
                const std::string driver = ReadString(instance, "Driver");
                if (!port.empty() && !driver.empty() && IsSerialPortClass(driver))
                    g_ports.AppendUnique(port.data(), port.size());
            });
        });
    });
}

}  // namespace

const char* EnumSerialPorts()
{
    g_ports.Clear();
    const bool nt = IsNtFamily();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, nt ? kSerialCommKey : kEnumKey, 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return nullptr;
    if (nt)
        ReadSerialComm(key);
    else
        ReadEnumTree(key);
    RegCloseKey(key);
    return g_ports.Data();
}
