#include "LogFileOpen.h"

#include "DebugOptions.h"

#include <cstring>

namespace {

// Why a log file name is refused.
const char kDeviceReason[] = "it names a device";
const char kReparseReason[] = "its path passes through a reparse point (a junction or link)";
const char kLinkReason[] = "the file has further hard links";

// Whether the folders of `fullPath` (from its root) or the file itself are
// reparse points. Components that do not exist end the walk: the open that
// follows fails for them anyway.
bool PassesReparsePoint(const char* fullPath)
{
    const size_t length = std::strlen(fullPath);
    // Skip the root: "C:\" or "\\server\share\".
    size_t pos = 0;
    if (length >= 2 && fullPath[0] == '\\' && fullPath[1] == '\\') {
        int slashes = 0;
        for (pos = 2; pos < length && slashes < 2; ++pos)
            slashes += fullPath[pos] == '\\';
    } else {
        pos = length >= 3 && fullPath[1] == ':' ? 3 : 0;
    }
    char prefix[MAX_PATH];
    for (; pos <= length; ++pos) {
        if (pos < length && fullPath[pos] != '\\')
            continue;
        if (pos == 0 || pos >= sizeof(prefix))
            continue;
        std::memcpy(prefix, fullPath, pos);
        prefix[pos] = '\0';
        const DWORD attributes = GetFileAttributesA(prefix);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return true;
    }
    return false;
}

}  // namespace

HANDLE OpenPlainLogFile(const char* name, bool append, const char** refusal)
{
    *refusal = nullptr;
    if (DebugNameIsDevice(name)) {
        *refusal = kDeviceReason;
        return INVALID_HANDLE_VALUE;
    }
    char fullPath[MAX_PATH];
    const DWORD length = GetFullPathNameA(name, sizeof(fullPath), fullPath, nullptr);
    if (length == 0 || length >= sizeof(fullPath))
        return INVALID_HANDLE_VALUE;
    if (PassesReparsePoint(fullPath)) {
        *refusal = kReparseReason;
        return INVALID_HANDLE_VALUE;
    }
    // Opened as it is (a reparse point itself, not its target).
    const DWORD access = append ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE;
    HANDLE file = CreateFileA(fullPath, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileType(file) != FILE_TYPE_DISK)
        *refusal = kDeviceReason;
    else if (!GetFileInformationByHandle(file, &info))
        *refusal = kDeviceReason;
    else if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))
        *refusal = kReparseReason;
    else if (info.nNumberOfLinks > 1)
        *refusal = kLinkReason;
    if (*refusal != nullptr) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}
