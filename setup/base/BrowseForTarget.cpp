#include "BrowseForTarget.h"

#include "BufCopy.h"
#include "ShellFunctions.h"
#include "SubFolder.h"
#include "resource.h"

int BrowseForTarget(HWND owner, char* path, const char* subFolder)
{
    char title[256] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_SELECT_TARGET_FOLDER, title, sizeof(title));
    char chosen[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = chosen;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST item = shell::BrowseForFolder(&info);
    if (!item)
        return 0;
    BOOL isFolder = shell::GetPathFromIDList(item, chosen);
    CoTaskMemFree(item);
    if (!isFolder || chosen[0] == '\0')
        return 0;
    BufSet(path, MAX_PATH, chosen);
    AppendSubFolder(path, MAX_PATH, subFolder);
    return 1;
}
