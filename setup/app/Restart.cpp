#include "Restart.h"

#include "WindowsVersion.h"

#include <setupapi.h>

namespace {

template <typename Function>
Function Lookup(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Enables SeShutdownPrivilege for this process. False when a privilege
// function is missing or the token cannot be opened.
bool EnableShutdownPrivilege()
{
    using OpenToken = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE*);
    using LookupValue = BOOL(WINAPI*)(const char*, const char*, LUID*);
    using Adjust = BOOL(WINAPI*)(HANDLE, BOOL, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES*, DWORD*);
    HMODULE advapi = LoadLibraryA("advapi32.dll");  // a Known DLL, imported already
    if (!advapi)
        return false;
    auto openToken = Lookup<OpenToken>(advapi, "OpenProcessToken");
    auto lookupValue = Lookup<LookupValue>(advapi, "LookupPrivilegeValueA");
    auto adjust = Lookup<Adjust>(advapi, "AdjustTokenPrivileges");
    HANDLE token = nullptr;
    if (!openToken || !lookupValue || !adjust ||
        !openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        FreeLibrary(advapi);
        return false;
    }
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    lookupValue(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    FreeLibrary(advapi);
    return true;
}

}  // namespace

int ForceRestart()
{
    if (QueryRunningWindows().nt && !EnableShutdownPrivilege())
        return 0;
    return ExitWindowsEx(EWX_REBOOT, 0);
}

bool RestartAfterRun(HWND owner, int rebootMode, bool unattended)
{
    if (rebootMode == 2)
        return ForceRestart() != 0;
    if (rebootMode == 1 && !unattended) {
        int answer = SetupPromptReboot(nullptr, owner, FALSE);
        return answer != -1 && (answer & SPFILEQ_REBOOT_IN_PROGRESS) != 0;
    }
    return false;
}
