#include "CopyRun.h"

#include "AdminTempFolder.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "FolderSecurity.h"
#include "MoveAside.h"
#include "RemovalCopy.h"
#include "RemovalCopyText.h"
#include "RunLog.h"
#include "ufile.h"

#include <windows.h>

#include <string>

namespace {

// The copy's folder once StartCopyRun accepted it; empty otherwise. Main
// thread only.
char g_copyFolder[MAX_PATH] = "";

// Why `folder` is no copy's folder; empty when it is one.
std::string NotACopyFolder(const char* folder)
{
    char parent[MAX_PATH], name[MAX_PATH], temp[MAX_PATH];
    if (!SystemTempFolder(temp, sizeof(temp)))
        return "the Windows folder's Temp cannot be found";
    if (!SplitProgramPath(folder, parent, sizeof(parent), name, sizeof(name)) || !IsRemovalCopyFolderName(name) ||
        !SameFolder(parent, temp))
        return std::string("setup.exe does not run from a removal's copy in ") + temp;
    const DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::string("the folder ") + folder + " is a link or cannot be read";
    std::string sddl;
    if (xUtilReadFileSecurity(folder, &sddl)) {
        if (SddlLetsUsersWrite(sddl))
            return std::string("users without administrator rights may write to ") + folder;
    } else if (GetLastError() != ERROR_PROC_NOT_FOUND) {
        // Windows without the security functions (NT 4) cannot tell.
        return std::string("the permissions of ") + folder + " cannot be read";
    }
    return std::string();
}

}  // namespace

bool StartCopyRun(SetupOptions* options)
{
    char folder[MAX_PATH], name[MAX_PATH];
    const std::string why = OwnProgram(folder, sizeof(folder), name, sizeof(name))
                                ? NotACopyFolder(folder)
                                : std::string("the program's path cannot be read");
    if (!why.empty()) {
        if (options->badSwitch[0] == '\0') {
            BufSet(options->badSwitch, sizeof(options->badSwitch), kRemovalCopySwitch);
            BufSet(options->badReason, sizeof(options->badReason), why);
        }
        return false;
    }
    BufSet(g_copyFolder, sizeof(g_copyFolder), folder);
    char registered[MAX_PATH];
    if (RegisteredProgram(*options, registered, sizeof(registered)))
        SetImageToMoveAside(registered, folder);
    DebugPrint(2, "setup: this is the removal's copy in %s; it moves %s aside when that cannot be deleted\n", folder,
               registered[0] != '\0' ? registered : "no program");
    return true;
}

void LeaveCopyFolderForRestart()
{
    if (g_copyFolder[0] == '\0')
        return;
    const std::string folder = g_copyFolder;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::string file = folder + "\\" + found.cFileName;
            if (!xUtilDelayFileDelete(file.c_str())) {
                DebugErrorPrint("setup: cannot delete %s at the next restart\n", file.c_str());
                DebugReportLastError();
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (!xUtilDelayMove(folder.c_str())) {
        DebugErrorPrint("setup: cannot delete the folder %s at the next restart\n", folder.c_str());
        DebugReportLastError();
        return;
    }
    DebugPrint(2, "setup: the copy's folder %s is deleted at the next restart (which this run does not need)\n",
               folder.c_str());
    RunLogPrint("the removal's copy in %s is deleted at the next restart, which this run does not need",
                folder.c_str());
    g_copyFolder[0] = '\0';
}
