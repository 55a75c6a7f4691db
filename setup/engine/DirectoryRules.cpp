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

unsigned long ParseDirectoryId(const char* text)
{
    char* end = nullptr;
    const unsigned long id = std::strtoul(text, &end, 0);
    return end == text ? 0 : id;
}
