#include "TargetFolder.h"

#include "DebugLog.h"
#include "FolderSecurity.h"
#include "Journal.h"
#include "ufile.h"

#include <windows.h>

#include <string>

bool TargetWritableByUsers(const char* target)
{
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    std::string sddl;
    return xUtilReadFileSecurity(target, &sddl) && SddlLetsUsersWrite(sddl);
}

int PrepareTargetFolder(const char* target)
{
    if (target == nullptr || target[0] == '\0')
        return 1;
    if (TargetWritableByUsers(target)) {
        DebugErrorPrint("warning: users without administrator rights may write to the target folder %s: they "
                        "could change what is installed there\n",
                        target);
        return 1;
    }
    bool created = false;
    JournalFolders(target);
    if (!xUtilCreateProtectedFolder(target, &created)) {
        const DWORD error = GetLastError();
        DebugErrorPrint("setup run: the target folder %s cannot be created\n", target);
        DebugReportError(error);
        SetLastError(error);
        return 0;
    }
    if (created)
        DebugPrint(2, "setup run: created the target folder %s, writable by administrators only\n", target);
    return 1;
}
