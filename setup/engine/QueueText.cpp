#include "QueueText.h"

#include "TextList.h"

#include <cstring>

namespace {

const char* FileNameOf(const char* path)
{
    const char* slash = std::strrchr(path, '\\');
    return slash != nullptr ? slash + 1 : path;
}

}  // namespace

void QueueDirectoryOf(const char* path, char* directory, size_t size)
{
    const char* slash = std::strrchr(path, '\\');
    const size_t length = slash != nullptr ? static_cast<size_t>(slash - path) : 0;
    if (size == 0)
        return;
    const size_t kept = length < size ? length : size - 1;
    std::memcpy(directory, path, kept);
    directory[kept] = '\0';
}

bool IsCabinetName(const char* path)
{
    const char* dot = std::strrchr(FileNameOf(path), '.');
    return dot != nullptr && xUtilEqualNoCase(dot + 1, "cab");
}

bool IsCabinetCopy(const char* source, const char* target)
{
    return xUtilEqualNoCase(FileNameOf(source), FileNameOf(target)) && IsCabinetName(source);
}
