#include "RegistryLookups.h"

#include "BufCopy.h"
#include "RunLog.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Text value `name` of `key` with its type; false when it cannot be read.
// Registry texts need not be terminated, so one terminator is added.
bool ReadText(HKEY key, const char* name, std::vector<char>* text, DWORD* type)
{
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    for (int attempt = 0; attempt < 3 && result == ERROR_SUCCESS; ++attempt) {
        text->assign(size + 1, '\0');
        DWORD got = size;
        result = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(text->data()), &got);
        if (result == ERROR_SUCCESS)
            return true;
        if (result == ERROR_MORE_DATA) {  // the value grew in between
            size = got;
            result = ERROR_SUCCESS;
        }
    }
    SetLastError(static_cast<DWORD>(result == ERROR_SUCCESS ? ERROR_MORE_DATA : result));
    return false;
}

}  // namespace

int GetProgramFilesDir(char* path)
{
    path[0] = '\0';
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    std::vector<char> text;
    DWORD type = REG_NONE;
    bool ok = ReadText(key, "ProgramFilesDir", &text, &type);
    RegCloseKey(key);
    if (!ok)
        return 0;
    if (type == REG_SZ) {
        BufSet(path, MAX_PATH, text.data());
        return 1;
    }
    if (type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsA(text.data(), nullptr, 0);
        std::vector<char> expanded(needed + 1, '\0');
        if (needed == 0 || ExpandEnvironmentStringsA(text.data(), expanded.data(), needed + 1) == 0)
            return 0;
        BufSet(path, MAX_PATH, expanded.data());
        return 1;
    }
    SetLastError(ERROR_INVALID_DATATYPE);
    return 0;
}

int DeleteUninstallKeys(const char* keys)
{
    HKEY parent = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WRITE, &parent);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    // A name with a backslash would reach a key below another entry.
    for (const char* name = keys; name && *name; name += std::strlen(name) + 1) {
        if (std::strchr(name, '\\') != nullptr)
            continue;
        const LONG deleted = RegDeleteKeyA(parent, name);
        char path[512];  // the key's path and a name of up to 255 characters
        BufFormat(path, sizeof(path), "HKLM\\%s\\%s", kUninstallKey, name);
        if (deleted == ERROR_SUCCESS)
            RunLogAction("delete-key", path);
        else
            RunLogAction("delete-key", path, "%s", deleted == ERROR_FILE_NOT_FOUND ? "it was not there" : "failed");
    }
    RegCloseKey(parent);
    return 1;
}
