#include "RunFolder.h"

#include "AdminTempFolder.h"
#include "BufCopy.h"
#include "Lock.h"

#include <windows.h>

namespace {

struct RunFolderState
{
    CLock lock;
    char path[MAX_PATH] = "";  // empty until made
};

RunFolderState& State()
{
    static RunFolderState state;
    return state;
}

// Makes the folder under the lock. 1, or 0 with the last error.
int MakeFolder(RunFolderState& state)
{
    return MakeAdminTempFolder("setup-", TempParent::SystemOrUser, state.path, sizeof(state.path));
}

}  // namespace

int RunFolderNewFile(const char* prefix, char* path, size_t capacity)
{
    RunFolderState& state = State();
    char folder[MAX_PATH];
    {
        CLockGuard guard(state.lock);
        if (state.path[0] == '\0' && !MakeFolder(state))
            return 0;
        BufSet(folder, sizeof(folder), state.path);
    }
    char file[MAX_PATH];
    if (!GetTempFileNameA(folder, prefix, 0, file))
        return 0;
    if (!BufFits(capacity, file)) {
        RunFolderDeleteFile(file);
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    BufSet(path, capacity, file);
    return 1;
}

int RunFolderDeleteFile(const char* path)
{
    HANDLE file = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 1;
    return DeleteFileA(path) ? 1 : 0;
}

int RunFolderPath(char* path, size_t capacity)
{
    RunFolderState& state = State();
    CLockGuard guard(state.lock);
    BufSet(path, capacity, state.path);
    return state.path[0] != '\0' ? 1 : 0;
}

void RemoveRunFolder()
{
    RunFolderState& state = State();
    CLockGuard guard(state.lock);
    if (state.path[0] == '\0')
        return;
    char pattern[MAX_PATH];
    BufSet(pattern, sizeof(pattern), state.path);
    BufAppend(pattern, sizeof(pattern), "\\*");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            char file[MAX_PATH];
            BufSet(file, sizeof(file), state.path);
            BufAppend(file, sizeof(file), "\\");
            BufAppend(file, sizeof(file), found.cFileName);
            RunFolderDeleteFile(file);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(state.path);
    state.path[0] = '\0';
}
