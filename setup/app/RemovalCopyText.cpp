#include "RemovalCopyText.h"

#include <cstring>

const char kRemovalCopySwitch[] = "/removalcopy";
const char kRemovalCopyPrefix[] = "removal-";

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'f');
}

// Copies `length` characters of `text`; false (and "") when they do not fit.
bool CopyPart(char* buffer, size_t size, const char* text, size_t length)
{
    if (size == 0)
        return false;
    if (length >= size) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return true;
}

}  // namespace

bool IsRemovalCopyFolderName(const char* name)
{
    const size_t prefix = std::strlen(kRemovalCopyPrefix);
    if (std::strlen(name) != prefix + 16)
        return false;
    for (size_t i = 0; i < prefix; ++i) {
        if (Lower(name[i]) != kRemovalCopyPrefix[i])
            return false;
    }
    for (size_t i = prefix; name[i] != '\0'; ++i) {
        if (!IsHexDigit(name[i]))
            return false;
    }
    return true;
}

bool CommandProgram(const char* command, char* program, size_t size)
{
    const char* start = command;
    while (*start == ' ' || *start == '\t')
        ++start;
    const char* end = nullptr;
    if (*start == '"') {
        ++start;
        end = std::strchr(start, '"');
    } else {
        end = start + std::strcspn(start, " \t");
    }
    if (end == nullptr || end == start) {
        CopyPart(program, size, "", 0);
        return false;
    }
    return CopyPart(program, size, start, static_cast<size_t>(end - start));
}

bool SplitProgramPath(const char* path, char* folder, size_t folderSize, char* name, size_t nameSize)
{
    const char* slash = std::strrchr(path, '\\');
    const bool split = slash != nullptr && slash[1] != '\0';
    // A file in a drive's root keeps the root's backslash ("C:\").
    const size_t folderLength = !split ? 0 : (slash == path + 2 && path[1] == ':') ? 3 : slash - path;
    if (split && CopyPart(folder, folderSize, path, folderLength) &&
        CopyPart(name, nameSize, slash + 1, std::strlen(slash + 1)))
        return true;
    CopyPart(folder, folderSize, "", 0);
    CopyPart(name, nameSize, "", 0);
    return false;
}

bool IsPlainFileName(const char* name)
{
    if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return std::strpbrk(name, "\\/:*?\"<>|") == nullptr;
}

std::string RemovalCopyCommand(const std::string& program, const std::string& arguments)
{
    const size_t first = arguments.find_first_not_of(" \t");
    const size_t last = arguments.find_last_not_of(" \t");
    std::string command = "\"" + program + "\" ";
    if (first != std::string::npos)
        command += arguments.substr(first, last - first + 1) + " ";
    return command + kRemovalCopySwitch;
}
