#include "RunOnce.h"

#include "RunOnceCommand.h"

#include <windows.h>

#include <cstring>

int RegisterRunOnce(const char* valueName, const char* program, const char* arguments)
{
    char command[kRunOnceCommandMax + 1];
    if (ComposeRunOnceCommand(command, sizeof(command), program, arguments) == 0) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                                  0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                                  nullptr);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    result = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                            static_cast<DWORD>(std::strlen(command) + 1));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    return 1;
}
