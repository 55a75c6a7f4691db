#include "DirectoryRules.h"

#include "BufCopy.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithNoCase(const char* text, size_t length, const std::string& tail)
{
    if (length < tail.size())
        return false;
    const char* start = text + length - tail.size();
    for (size_t i = 0; i < tail.size(); ++i) {
        if (Lower(start[i]) != Lower(tail[i]))
            return false;
    }
    return true;
}

}  // namespace

void BaseDirectoryOf(const char* value, const char* subDir, char* base, size_t size)
{
    if (subDir == nullptr || subDir[0] == '\0') {
        BufSet(base, size, value);
        return;
    }
    const size_t length = std::strlen(value);
    const std::string tail = std::string("\\") + subDir;
    if (length > std::strlen(subDir) && EndsWithNoCase(value, length, tail))
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
