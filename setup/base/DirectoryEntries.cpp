#include "DirectoryEntries.h"

#include "BufCopy.h"

#include <windows.h>

#include <cstring>

int CountDirectoryEntries(const char* directory)
{
    if (directory == nullptr || *directory == '\0')
        return 0;
    char pattern[MAX_PATH];
    size_t length = std::strlen(directory);
    const char* separator = length > 0 && directory[length - 1] == '\\' ? "" : "\\";
    if (BufFormat(pattern, sizeof(pattern), "%s%s*", directory, separator) !=
        static_cast<int>(length + std::strlen(separator) + 1))
        return 0;  // the pattern would not fit: nothing can be listed there
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            ++count;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}
