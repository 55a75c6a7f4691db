#include "ShellFolders.h"

#include "BufCopy.h"
#include "ShortcutText.h"

#include <windows.h>

namespace {

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const DWORD kValueBytes = 256;

// Reads the folder value `name` of `key` into `path` (MAX_PATH bytes).
int ReadFolderValue(HKEY key, const char* name, char* path)
{
    char value[kValueBytes + 1] = "";  // one byte more for a terminator the value may lack
    DWORD type = 0, size = kValueBytes;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        return 0;
    }
    value[size] = '\0';
    if (type == REG_SZ) {
        BufSet(path, MAX_PATH, value);
        return 1;
    }
    if (type == REG_EXPAND_SZ) {
        const DWORD needed = ExpandEnvironmentStringsA(value, path, MAX_PATH);
        if (needed != 0 && needed <= MAX_PATH)
            return 1;
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        path[0] = '\0';
        return 0;
    }
    SetLastError(ERROR_INVALID_DATA);
    return 0;
}

}  // namespace

int ResolveShellFolder(const char* code, char* path)
{
    path[0] = '\0';
    HKEY user = nullptr, machine = nullptr;
    const bool userOpen = RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &user) == ERROR_SUCCESS;
    const bool machineOpen =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kShellFoldersKey, 0, KEY_READ, &machine) == ERROR_SUCCESS;
    int found = 0;
    SetLastError(ERROR_PATH_NOT_FOUND);
    if (userOpen || machineOpen) {
        const ShellFolderValues* values = FindShellFolderCode(code);
        if (values == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
        } else if (values->machineWide != nullptr) {
            if (machineOpen)
                found = ReadFolderValue(machine, values->machineWide, path);
            if (!found && userOpen)
                found = ReadFolderValue(user, values->perUser, path);
        } else if (userOpen) {
            found = ReadFolderValue(user, values->perUser, path);
        }
    }
    const DWORD error = GetLastError();
    if (user)
        RegCloseKey(user);
    if (machine)
        RegCloseKey(machine);
    SetLastError(error);
    return found;
}
