#include "VersionMemo.h"

#include "BufCopy.h"
#include "Lock.h"

#include <windows.h>

#include <map>
#include <new>

namespace {

struct Reading
{
    bool hasVersion;
    std::string version;
};

// Both are reached from the main thread and from the installation thread.
CLock& MemoLock()
{
    static CLock lock;
    return lock;
}

std::map<std::string, Reading>& Memo()
{
    static std::map<std::string, Reading> memo;
    return memo;
}

}  // namespace

std::string VersionSourceKey(const char* path, const char* member)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, sizeof(full), full, nullptr);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (length == 0 || length >= sizeof(full) || !GetFileAttributesExA(full, GetFileExInfoStandard, &data))
        return std::string();
    // File names compare without regard to case.
    CharLowerA(full);
    char state[64];
    BufFormat(state, sizeof(state), "|%lu.%lu|%lu.%lu|", data.nFileSizeHigh, data.nFileSizeLow,
              data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    std::string key = std::string(full) + state;
    if (member != nullptr) {
        std::string name = member;
        if (!name.empty())
            CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
        key += name;
    }
    return key;
}

bool RecallVersion(const std::string& key, bool* hasVersion, std::string* version)
{
    if (key.empty())
        return false;
    CLockGuard guard(MemoLock());
    const auto found = Memo().find(key);
    if (found == Memo().end())
        return false;
    *hasVersion = found->second.hasVersion;
    *version = found->second.version;
    return true;
}

void RememberVersion(const std::string& key, bool hasVersion, const std::string& version)
{
    if (key.empty())
        return;
    CLockGuard guard(MemoLock());
    try {
        Memo()[key] = Reading{hasVersion, version};
    } catch (const std::bad_alloc&) {
        // Not remembered: the next table reads the file again.
    }
}
