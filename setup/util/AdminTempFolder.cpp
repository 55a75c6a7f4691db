#include "AdminTempFolder.h"

#include "BufCopy.h"
#include "ufile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Names tried before the folder is given up.
const int kNameAttempts = 8;

// Room a folder name and a file name made in it need behind the parent.
const size_t kNameRoom = 48;

typedef BOOLEAN(WINAPI* GenRandomFn)(PVOID, ULONG);

// 64 random bits from the system's generator (Windows XP on); where it is
// missing, from counters no other user can predict closely enough to make
// all eight names first.
unsigned long long RandomBits()
{
    unsigned long long bits = 0;
    // advapi32 is imported already: this only finds it.
    const auto generate = reinterpret_cast<GenRandomFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "SystemFunction036")));
    if (generate != nullptr && generate(&bits, sizeof(bits)))
        return bits;
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<unsigned long long>(counter.QuadPart) * 0x9E3779B97F4A7C15ull ^
           (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount();
}

bool ParentFolder(TempParent parent, char* path, size_t capacity)
{
    if (SystemTempFolder(path, capacity) && std::strlen(path) + kNameRoom < capacity)
        return true;
    if (parent == TempParent::SystemOnly)
        return false;
    const DWORD length = GetTempPathA(static_cast<DWORD>(capacity), path);
    return length > 0 && length + kNameRoom < capacity;
}

}  // namespace

bool SystemTempFolder(char* path, size_t capacity)
{
    char temp[MAX_PATH + 8];
    const UINT length = GetWindowsDirectoryA(temp, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    BufAppend(temp, sizeof(temp), temp[length - 1] == '\\' ? "Temp\\" : "\\Temp\\");
    if (!BufFits(capacity, temp))
        return false;
    BufSet(path, capacity, temp);
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

int MakeAdminTempFolder(const char* prefix, TempParent parent, char* path, size_t capacity)
{
    char folder[MAX_PATH];
    if (std::strlen(prefix) > 16 || !ParentFolder(parent, folder, sizeof(folder))) {
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
        char made[MAX_PATH];
        std::snprintf(made, sizeof(made), "%s%s%08lx%08lx", folder, prefix, static_cast<unsigned long>(bits >> 32),
                      static_cast<unsigned long>(bits & 0xFFFFFFFFu));
        if (!BufFits(capacity, made)) {
            error = ERROR_FILENAME_EXCED_RANGE;
        } else if (CreateDirectoryA(made, descriptor != nullptr ? &attributes : nullptr)) {
            BufSet(path, capacity, made);
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
