#include "DirectoryRules.h"

#include "BufCopy.h"
#include "TextList.h"

#include <cstdlib>
#include <cstring>
#include <string>

void BaseDirectoryOf(const char* value, const char* subDir, char* base, size_t size)
{
    if (subDir == nullptr || subDir[0] == '\0') {
        BufSet(base, size, value);
        return;
    }
    const size_t length = std::strlen(value);
    const std::string tail = std::string("\\") + subDir;
    if (length > std::strlen(subDir) && xUtilEqualNoCase(value + length - tail.size(), tail.c_str()))
        BufSet(base, size, std::string(value, length - tail.size()));
    else
        BufSet(base, size, "");
}

int JoinSubDirectory(const char* target, const char* subDir, char* out, size_t size)
{
    const std::string joined = subDir[0] == '\0' ? std::string(target) : std::string(target) + "\\" + subDir;
    if (!BufFits(size, joined.c_str())) {
        BufSet(out, size, "");
        return 0;
    }
    BufSet(out, size, joined);
    return 1;
}

bool ParseUserDirectoryId(const char* text, unsigned long* id)
{
    *id = 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text < '0' || *text > '9')  // no sign, no blank text
        return false;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 0);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0' || value < 32768 || value >= 0xFFFFFFFFull || value == 0xFFFF)
        return false;
    *id = static_cast<unsigned long>(value);
    return true;
}

std::vector<std::string> SubDirectoryFolders(const char* target, const char* subDir)
{
    std::string sub(subDir);
    const size_t first = sub.find_first_not_of('\\');
    sub.erase(0, first == std::string::npos ? sub.size() : first);
    while (!sub.empty() && sub.back() == '\\')
        sub.pop_back();
    const std::string path(target);
    const std::string tail = "\\" + sub;
    if (sub.empty() || path.size() <= tail.size() ||
        !xUtilEqualNoCase(path.c_str() + path.size() - tail.size(), tail.c_str()))
        return {};
    // One folder per backslash of the tail, from the target upwards.
    const size_t base = path.size() - tail.size();  // the backslash below the base folder
    std::vector<std::string> folders;
    for (size_t end = path.size(); end > base; end = path.rfind('\\', end - 1)) {
        if (path[end - 1] != '\\')  // a doubled backslash names no folder of its own
            folders.push_back(path.substr(0, end));
    }
    return folders;
}
