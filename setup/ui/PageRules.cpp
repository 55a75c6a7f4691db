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
