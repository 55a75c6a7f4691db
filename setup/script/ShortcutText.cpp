#include "ShortcutText.h"

#include "BufCopy.h"
#include "TextList.h"

#include <cstring>
#include <string>

namespace {

struct CodeEntry
{
    const char* code;
    ShellFolderValues values;
};

const CodeEntry kCodes[] = {
    {"CDSK", {"Common Desktop", "Desktop"}},
    {"CPRG", {"Common Programs", "Programs"}},
    {"CSTM", {"Common Start Menu", "Start Menu"}},
    {"CSTU", {"Common Startup", "Startup"}},
    {"UDSK", {nullptr, "Desktop"}},
    {"UPRG", {nullptr, "Programs"}},
    {"USTM", {nullptr, "Start Menu"}},
    {"USTU", {nullptr, "Startup"}},
};

}  // namespace

const ShellFolderValues* FindShellFolderCode(const char* code)
{
    for (const CodeEntry& entry : kCodes) {
        if (xUtilEqualNoCase(entry.code, code))
            return &entry.values;
    }
    return nullptr;
}

char* ShortcutWorkingDir(const char* target, char* buffer, size_t size)
{
    const char* slash = std::strrchr(target, '\\');
    BufSet(buffer, size, std::string(target, slash ? slash - target : 0));
    return buffer;
}

bool ShortcutNameStaysInside(const char* name)
{
    for (const char* part = name;; ++part) {
        // The file system takes a slash as a separator too.
        const char* end = std::strpbrk(part, "\\/");
        const size_t length = end ? static_cast<size_t>(end - part) : std::strlen(part);
        if (length == 2 && part[0] == '.' && part[1] == '.')
            return false;
        if (!end)
            return true;
        part = end;
    }
}
