#include "MoveAside.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "RunLog.h"
#include "TextList.h"

#include <windows.h>

namespace {

// Set on the main thread before the run thread starts; read-only afterwards.
char g_image[MAX_PATH] = "";
char g_folder[MAX_PATH] = "";

}  // namespace

void SetImageToMoveAside(const char* image, const char* folder)
{
    BufSet(g_image, sizeof(g_image), image);
    BufSet(g_folder, sizeof(g_folder), folder);
}

bool MoveImageAside(const char* target)
{
    if (g_image[0] == '\0' || g_folder[0] == '\0' || !xUtilEqualNoCase(target, g_image))
        return false;
    // A new name in the copy's folder (made as an empty file, which the
    // rename replaces): the copy's own setup.exe lies there already.
    char moved[MAX_PATH];
    if (!GetTempFileNameA(g_folder, "old", 0, moved)) {
        DebugErrorPrint("setup: no name in %s for the running %s\n", g_folder, target);
        DebugReportLastError();
        return false;
    }
    if (!MoveFileExA(target, moved, MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        DeleteFileA(moved);
        DebugErrorPrint("setup: the running %s cannot be moved to %s; it is deleted at the next restart\n", target,
                        moved);
        DebugReportError(error);
        return false;
    }
    DebugPrint(2, "setup: the running %s is moved to %s, which goes at the next restart with that folder\n", target,
               moved);
    RunLogPrint("the running %s is moved to %s, deleted at the next restart with that folder", target, moved);
    return true;
}
