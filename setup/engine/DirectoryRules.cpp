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
