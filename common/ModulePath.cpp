#include "ModulePath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

std::string ModuleFilePath()
{
#ifdef _WIN32
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    return std::string(path, length);
#else
    char path[PATH_MAX] = "";
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
#endif
}

std::string ReplaceExtension4(const std::string& path, const char* extension)
{
    std::string result = path.size() >= 4 ? path.substr(0, path.size() - 4) : std::string();
    return result + extension;
}
