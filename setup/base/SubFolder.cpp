#include "SubFolder.h"

#include "BufCopy.h"

#include <cstring>

size_t AppendSubFolder(char* path, size_t capacity, const char* subFolder)
{
    if (capacity == 0)
        return 0;
    const void* end = std::memchr(path, '\0', capacity);
    if (end == nullptr)  // unterminated: cut like every other overlong path
        path[capacity - 1] = '\0';
    size_t length = std::strlen(path);
    if (subFolder == nullptr)
        return length;
    if (*subFolder == '\\')
        ++subFolder;
    if (*subFolder == '\0')
        return length;

    const char* last = std::strrchr(path, '\\');
    last = last ? last + 1 : path;
    if (std::strcmp(last, subFolder) == 0)
        return length;
    if (length == 0 || path[length - 1] != '\\')
        length = BufAppend(path, capacity, "\\");
    return BufAppend(path, capacity, subFolder);
}
