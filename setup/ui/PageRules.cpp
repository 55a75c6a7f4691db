#include "PageRules.h"

#include "BufCopy.h"
#include "ComponentList.h"
#include "TextList.h"

#include <cstring>
#include <string>

namespace {

void RemoveTrailingBackslashes(char* path)
{
    size_t length = std::strlen(path);
    while (length > 0 && path[length - 1] == '\\')
        path[--length] = '\0';
}

}  // namespace

std::vector<int> QuietSelection(const char* quietText)
{
    std::vector<int> selection;
    const std::string text = quietText ? quietText : "";
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string name = text.substr(start, comma - start);
        for (int index = 0; index < ComponentListCount(); ++index) {
            if (xUtilEqualNoCase(name.c_str(), ComponentListName(index))) {
                selection.push_back(index);
                break;
            }
        }
        start = comma + 1;
    }
    return selection;
}

char* TrimTargetDirectory(char* path)
{
    xUtilTrim(path);
    RemoveTrailingBackslashes(path);
    return path;
}

bool IsAbsoluteTarget(const char* path)
{
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return letter(path[0]) && path[1] == ':' && path[2] == '\\' && path[3] != '\0' && path[3] != '\\';
}

const char* TargetSwitchProblem(char* path)
{
    TrimTargetDirectory(path);
    if (path[0] == '\\' && path[1] == '\\')
        return "it is a network path (only folders of this machine's drives can be chosen)";
    // A colon belongs only behind the drive letter.
    const char* afterDrive = std::strlen(path) > 2 ? path + 2 : "";
    if (std::strpbrk(path, "\"<>|*?") != nullptr || std::strchr(afterDrive, ':') != nullptr)
        return "it holds a character that no folder name may hold";
    if (IsAbsoluteTarget(path))
        return nullptr;
    const bool drive = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':';
    if (drive && (path[2] == '\0' || path[2] == '\\'))
        return "it is the root of a drive (a folder on the drive is needed)";
    return "it is not an absolute path (a drive letter, a colon, a backslash and a folder)";
}

void ComposeDefaultDirectory(const char* base, const char* subDir, char* out, size_t size)
{
    BufSet(out, size, base);
    const size_t length = std::strlen(out);
    if (length == 0 || out[length - 1] != '\\')
        BufAppend(out, size, "\\");
    BufAppend(out, size, subDir[0] == '\\' ? subDir + 1 : subDir);
    const size_t total = std::strlen(out);
    if (total > 0 && out[total - 1] == '\\')
        out[total - 1] = '\0';
}
