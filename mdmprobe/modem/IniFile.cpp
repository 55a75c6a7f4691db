#include "IniFile.h"

#include "DefinitionText.h"
#include "FileText.h"
#include "ModulePath.h"

#include <windows.h>

#include <utility>

namespace {

// What the private-profile reader answers for a missing key.
constexpr char kNotFound[] = "GetValuenotok";
constexpr DWORD kSectionStep = 1024;  // section buffer: first size and growth

}  // namespace

CIniFile::CIniFile()
    : path_(ReplaceExtension4(ModuleFilePath(), ".ini"))
{
}

CIniFile::CIniFile(std::string path)
    : path_(std::move(path))
{
}

int CIniFile::LoadSections()
{
    sections_.clear();
    if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return -1;
    std::string text;
    if (!ReadFileText(path_, text))
        return -1;
    sections_ = SectionNames(text);
    return sections_.empty() ? 0 : static_cast<int>(sections_.size()) - 1;
}

std::string CIniFile::GetValue(const std::string& section, const std::string& key) const
{
    char value[kValueMax + 1] = "";
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kNotFound, value,
                                            sizeof(value), path_.c_str());
    if (length >= sizeof(value))
        length = sizeof(value) - 1;
    std::string result(value, length);
    return result == kNotFound ? std::string() : result;
}

std::vector<std::string> CIniFile::GetSection(const std::string& section) const
{
    std::vector<char> buffer(kSectionStep);
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                           static_cast<DWORD>(buffer.size()), path_.c_str());
        if (length != buffer.size() - 2)
            break;
        buffer.resize(buffer.size() + kSectionStep);
    }
    if (length > buffer.size())
        length = static_cast<DWORD>(buffer.size());
    return SplitSectionBuffer(buffer.data(), length);
}
