#include "MediumLock.h"

#include "ScriptFields.h"
#include "ScriptLines.h"

namespace {

// The files a script names in field `field` of `section`'s lines (0: the
// key).
std::vector<std::string> NamedFiles(HINF script, const char* section, DWORD field)
{
    std::vector<std::string> names;
    INFCONTEXT line;
    for (BOOL more = SetupFindFirstLineA(script, section, nullptr, &line); more;
         more = SetupFindNextLine(&line, &line)) {
        char name[MAX_PATH] = "";
        if (ReadWholeField(&line, field, name, sizeof(name)) == FieldRead::Read && name[0] != '\0')
            names.push_back(name);
    }
    return names;
}

}  // namespace

int MediumLock::HoldFile(const std::string& path, std::string* refused)
{
    // Read sharing only: the Setup API and the cabinet reader open the files
    // for reading, which this allows; writing, renaming and deleting are not.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        handles_.push_back(file);
        return 1;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return 1;
    *refused = path;
    SetLastError(error);
    return 0;
}

int MediumLock::Hold(HINF script, const char* folder, std::string* refused)
{
    char self[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof(self));
    if (length > 0 && length < sizeof(self) && !HoldFile(self, refused))
        return 0;
    std::vector<std::string> names = {"setup.inf"};
    for (const std::string& tag : NamedFiles(script, "SourceDisksNames", 2))
        names.push_back(tag);
    for (const std::string& file : NamedFiles(script, "SourceDisksFiles", 0))
        names.push_back(file);
    for (const std::string& name : names) {
        // Names only: a tag or file with a folder of its own lies elsewhere.
        if (name.find_first_of("\\/:") != std::string::npos)
            continue;
        if (!HoldFile(std::string(folder) + name, refused))
            return 0;
    }
    return 1;
}

void MediumLock::Release()
{
    for (HANDLE file : handles_)
        CloseHandle(file);
    handles_.clear();
}
