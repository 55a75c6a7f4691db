#include "EmptyFolders.h"

#include "DebugLog.h"
#include "DirectoryRules.h"
#include "QueueLog.h"
#include "RunLog.h"
#include "ScriptLines.h"
#include "TextList.h"
#include "ufile.h"
#include "usystem.h"

#include <cstring>

namespace {

bool IsPending(const std::vector<std::string>& pending, const std::string& path)
{
    for (const std::string& entry : pending) {
        if (xUtilEqualNoCase(entry.c_str(), path.c_str()))
            return true;
    }
    return false;
}

// What `folder` holds (without "." and ".."), and how much of it waits for
// deletion at the restart. False when it cannot be listed.
bool ListFolder(const std::string& folder, const std::vector<std::string>& pending, int* entries, int* waiting)
{
    *entries = *waiting = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0)
            continue;
        ++*entries;
        if (IsPending(pending, folder + "\\" + entry.cFileName))
            ++*waiting;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return true;
}

// Schedules `folder` for deletion at the restart; false where that cannot
// be done (Windows 9x) or fails.
// `waiting`: what inside it waits for the restart already.
bool DeleteAtRestart(const std::string& folder, int waiting, std::vector<std::string>* pending,
                     std::atomic<int>* rebootNeeded)
{
    if (!xUtilIsWinNT() || !xUtilDelayMove(folder.c_str())) {
        DebugErrorPrint("setup: the folder %s cannot be deleted at the next restart\n", folder.c_str());
        RunLogPrint("the folder %s stays: it cannot be removed at the next restart", folder.c_str());
        return false;
    }
    pending->push_back(folder);
    rebootNeeded->store(1);
    LogFolderRemoval(folder.c_str(), false, waiting);
    return true;
}

}  // namespace

void RemoveEmptySubDirectories(HINF script, const char* targetDir, std::vector<std::string>* pending,
                               std::atomic<int>* rebootNeeded)
{
    char subDir[MAX_PATH] = "";
    if (!FindLine(script, "DefaultDestDir", "DestinationDirs", 2, subDir, sizeof(subDir)))
        return;
    for (const std::string& folder : SubDirectoryFolders(targetDir, subDir)) {
        if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;  // gone with its last file
        if (IsPending(*pending, folder))
            continue;  // goes at the restart already
        int entries = 0, waiting = 0;
        if (!ListFolder(folder, *pending, &entries, &waiting) || entries != waiting)
            return;  // it holds something: so do the folders above it
        if (entries == 0 && RemoveDirectoryA(folder.c_str())) {
            DebugPrint(2, "setup: removed the empty folder %s\n", folder.c_str());
            LogFolderRemoval(folder.c_str(), true, 0);
            continue;
        }
        if (!DeleteAtRestart(folder, waiting, pending, rebootNeeded))
            return;
    }
}
