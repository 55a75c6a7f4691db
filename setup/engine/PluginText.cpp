#include "PluginText.h"

#include "BufCopy.h"

#include <cstring>

const char* SplitPluginField(const char* field, char* library, size_t librarySize)
{
    const char* colon = std::strchr(field, ':');
    const size_t length = colon != nullptr ? static_cast<size_t>(colon - field) : std::strlen(field);
    if (librarySize > 0) {
        const size_t kept = length < librarySize - 1 ? length : librarySize - 1;
        std::memcpy(library, field, kept);
        library[kept] = '\0';
    }
    return colon != nullptr ? colon + 1 : field + length;
}

const char* SplitAtLastBackslash(const char* path, char* directory, size_t directorySize)
{
    const char* slash = std::strrchr(path, '\\');
    if (slash == nullptr) {
        if (directorySize < 2) {
            BufSet(directory, directorySize, "");
            return nullptr;
        }
        BufSet(directory, directorySize, ".");
        return path;
    }
    const size_t length = static_cast<size_t>(slash - path);
    if (length >= directorySize) {
        BufSet(directory, directorySize, "");
        return nullptr;
    }
    std::memcpy(directory, path, length);
    directory[length] = '\0';
    return slash + 1;
}
