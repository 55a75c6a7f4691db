#include "ProgramFolder.h"

#include "BufCopy.h"

#include <windows.h>

#include <cstring>

bool ProgramFolder(char* path, size_t size)
{
    char module[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof(module));
    char* slash = length > 0 && length < sizeof(module) ? std::strrchr(module, '\\') : nullptr;
    if (slash == nullptr || static_cast<size_t>(slash - module) + 2 > size) {
        BufSet(path, size, "");
        return false;
    }
    slash[1] = '\0';
    BufSet(path, size, module);
    return true;
}

namespace {

// Set before the run's threads start; read-only afterwards.
std::string g_mediumFolder;

}  // namespace

void SetMediumFolder(const std::string& folder)
{
    g_mediumFolder = folder;
}

std::string MediumFolder()
{
    if (!g_mediumFolder.empty())
        return g_mediumFolder;
    char folder[MAX_PATH] = "";
    ProgramFolder(folder, sizeof(folder));
    return folder;
}

std::string MediumPath(const std::string& path)
{
    if ((path.size() >= 2 && path[1] == ':') || path.compare(0, 1, "\\") == 0)
        return path;
    return MediumFolder() + path;
}
