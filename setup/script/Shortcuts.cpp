#include "Shortcuts.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "Journal.h"
#include "RunLog.h"
#include "ShellFolders.h"
#include "ShellFunctions.h"
#include "ShortcutText.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

namespace {

// Waited after asking the shell to show a folder, so the window appears
// before the run goes on.
const DWORD kOpenFolderMs = 250;

// "<folder>\<name>.lnk" into `path` (MAX_PATH bytes), with the folder's
// length in `folderLength`. 0 with the last error for an unknown folder, a
// name that leaves the folder or a path that does not fit.
int BuildShortcutPath(const char* code, const char* name, char* path, size_t* folderLength)
{
    char folder[MAX_PATH];
    if (!ResolveShellFolder(code, folder))
        return 0;
    if (!ShortcutNameStaysInside(name)) {
        SetLastError(ERROR_BAD_PATHNAME);
        return 0;
    }
    *folderLength = std::strlen(folder);
    if (*folderLength + 1 + std::strlen(name) + 4 >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    BufFormat(path, MAX_PATH, "%s\\%s.lnk", folder, name);
    return 1;
}

void NotifyShell(LONG event, const char* path)
{
    shell::ChangeNotify(event, SHCNF_PATHA, path, nullptr);
}

// Creates the sub-folders between the shell folder and the shortcut file.
void CreateSubFolders(char* path, size_t folderLength)
{
    for (char* at = path + folderLength + 1; *at != '\0'; ++at) {
        if (*at != '\\')
            continue;
        *at = '\0';
        JournalFolders(path);
        if (CreateDirectoryA(path, nullptr)) {
            NotifyShell(SHCNE_MKDIR, path);
            RunLogAction("make-folder", path);
        }
        *at = '\\';
    }
}

// Saves `link` (to `target`) as the file `path`; 1 when saved.
int SaveLink(IShellLinkA* link, const char* path, const char* target)
{
    IPersistFile* file = nullptr;
    HRESULT result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    WCHAR widePath[MAX_PATH];
    const bool existed = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    JournalFile(path);
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0)
        result = HRESULT_FROM_WIN32(GetLastError());
    else
        result = file->Save(widePath, TRUE);
    file->Release();
    if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    NotifyShell(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, path);
    RunLogAction("create-shortcut", path, "%s, to %s", existed ? "replaced" : "new", target);
    return 1;
}

void OpenFolderOf(const char* path)
{
    char folder[MAX_PATH];
    BufSet(folder, sizeof(folder), path);
    if (char* slash = std::strrchr(folder, '\\'))
        *slash = '\0';
    shell::Execute(nullptr, nullptr, folder, nullptr, nullptr, SW_SHOWNOACTIVATE);
    Sleep(kOpenFolderMs);
}

}  // namespace

int CreateShortcut(const char* code, const char* name, const char* target, const char* arguments,
                   const char* iconFile, int iconNumber, int openFolder)
{
    char workingDir[MAX_PATH];
    ShortcutWorkingDir(target, workingDir, sizeof(workingDir));

    // COM stays usable when the thread runs in another apartment already;
    // only a successful initialisation of ours is undone.
    const bool comInitialised = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* link = nullptr;
    const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                             reinterpret_cast<void**>(&link));
    int saved = 0;
    if (FAILED(created)) {
        SetLastError(static_cast<DWORD>(created));
    } else {
        link->SetPath(target);
        link->SetWorkingDirectory(workingDir);
        link->SetArguments(arguments);
        link->SetIconLocation(iconFile, iconNumber);
        char path[MAX_PATH];
        size_t folderLength = 0;
        if (BuildShortcutPath(code, name, path, &folderLength)) {
            CreateSubFolders(path, folderLength);
            saved = SaveLink(link, path, target);
            if (saved && openFolder)
                OpenFolderOf(path);
        }
        link->Release();
    }
    const DWORD error = GetLastError();
    if (comInitialised)
        CoUninitialize();
    if (!saved) {
        DebugErrorPrint("shortcut %s\\%s not created\n", code, name);
        DebugReportError(error);
        RunLogAction("create-shortcut", name, "%s: not created (error 0x%08lx)", code,
                     static_cast<unsigned long>(error));
    }
    SetLastError(error);
    return saved;
}

int DeleteShortcut(const char* code, const char* name)
{
    char path[MAX_PATH];
    size_t folderLength = 0;
    if (!BuildShortcutPath(code, name, path, &folderLength)) {
        RunLogAction("delete-shortcut", name, "%s: no such shortcut folder or name", code);
        return 1;
    }
    JournalFile(path);
    if (DeleteFileA(path)) {
        NotifyShell(SHCNE_DELETE, path);
        RunLogAction("delete-shortcut", path, "deleted");
    } else {
        RunLogAction("delete-shortcut", path, "%s", GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES
                                                         ? "it was not there" : "failed: it stays");
    }
    // Sub-folders up to, never including, the shell folder, while empty.
    while (char* slash = std::strrchr(path, '\\')) {
        *slash = '\0';
        if (std::strlen(path) <= folderLength || !RemoveDirectoryA(path))
            break;
        NotifyShell(SHCNE_RMDIR, path);
        RunLogAction("remove-folder", path, "now");
    }
    return 1;
}
