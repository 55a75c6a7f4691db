#include "PlantedDlls.h"

#include "WinTestSupport.h"

namespace testsupport {

bool PlantCopies(const std::string& markDll, const std::string& folder, const std::vector<std::string>& names)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : names) {
        if (!CopyFileA(markDll.c_str(), (folder + "\\" + name).c_str(), FALSE))
            return false;
    }
    return true;
}

bool PreferPlantedCopies(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const std::string module = name.substr(0, name.rfind('.'));
        if (!SetRegistryText(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", module.c_str(), "native,builtin"))
            return false;
    }
    return true;
}

std::vector<std::string> PlantedMarks()
{
    std::vector<std::string> marks;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(kMarkFolder) + "\\*.mark").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return marks;
    do {
        const std::string path = std::string(kMarkFolder) + "\\" + found.cFileName;
        marks.push_back(std::string(found.cFileName) + ": " + ReadFileBytes(path));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return marks;
}

bool Marked(const std::string& name, DWORD processId)
{
    return FileExists(std::string(kMarkFolder) + "\\" + name + "-" + std::to_string(processId) + ".mark");
}

}  // namespace testsupport
