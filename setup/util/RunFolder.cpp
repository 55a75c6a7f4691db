#include "RunFolder.h"

#include "BufCopy.h"
#include "Lock.h"
#include "ufile.h"

#include <windows.h>

#include <sddl.h>

#include <cstdio>
#include <cstring>

namespace {

// Names tried before the folder is given up.
const int kNameAttempts = 8;

typedef BOOLEAN(WINAPI* GenRandomFn)(PVOID, ULONG);

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

HMODULE Advapi()
{
    // advapi32 is imported already; this only finds it.
    return GetModuleHandleA("advapi32.dll");
}

// 64 random bits from the system's generator (Windows XP on); where it is
// missing, from counters no other user can predict closely enough to make
// all eight names first.
unsigned long long RandomBits()
{
    unsigned long long bits = 0;
    const auto generate = reinterpret_cast<GenRandomFn>(
        reinterpret_cast<void*>(GetProcAddress(Advapi(), "SystemFunction036")));
    if (generate != nullptr && generate(&bits, sizeof(bits)))
        return bits;
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<unsigned long long>(counter.QuadPart) * 0x9E3779B97F4A7C15ull ^
           (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount();
}

// Room a folder name and a file name made in it need behind the parent.
const size_t kNameRoom = 48;

// The folder the run's folder is made in, with a trailing backslash.
bool ParentFolder(char* parent, size_t capacity)
{
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
    if (length > 0 && length < sizeof(windows)) {
        BufSet(parent, capacity, windows);
        if (windows[length - 1] != '\\')
            BufAppend(parent, capacity, "\\");
        BufAppend(parent, capacity, "Temp\\");
        const DWORD attributes = GetFileAttributesA(parent);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && std::strlen(parent) + kNameRoom < capacity)
            return true;
    }
    const DWORD tempLength = GetTempPathA(static_cast<DWORD>(capacity), parent);
    return tempLength > 0 && tempLength + kNameRoom < capacity;
}

// Makes the folder under the lock. 1, or 0 with the last error.
int MakeFolder(RunFolderState& state)
{
    char parent[MAX_PATH];
    if (!ParentFolder(parent, sizeof(parent))) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    // SYSTEM and Administrators, inherited by the files made inside; nothing
    // inherited from the parent.
    bool unsupported = false;
    PSECURITY_DESCRIPTOR descriptor = xUtilDescriptorFromText("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", &unsupported);
    if (descriptor == nullptr && !unsupported)
        return 0;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    DWORD error = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < kNameAttempts && error == ERROR_ALREADY_EXISTS; ++attempt) {
        // Two halves: the C runtime of older Windows has no "ll" conversion.
        const unsigned long long bits = RandomBits();
        char path[MAX_PATH];
        std::snprintf(path, sizeof(path), "%ssetup-%08lx%08lx", parent, static_cast<unsigned long>(bits >> 32),
                      static_cast<unsigned long>(bits & 0xFFFFFFFFu));
        if (CreateDirectoryA(path, descriptor != nullptr ? &attributes : nullptr)) {
            BufSet(state.path, sizeof(state.path), path);
            error = NO_ERROR;
        } else {
            error = GetLastError();
        }
    }
    if (descriptor != nullptr)
        LocalFree(descriptor);
    SetLastError(error);
    return error == NO_ERROR ? 1 : 0;
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
