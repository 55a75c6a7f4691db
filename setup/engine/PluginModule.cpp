#include "PluginModule.h"

#include "BufCopy.h"
#include "DllSearch.h"
#include "PluginInterface.h"

#include <cstring>

bool PluginLibraryPath(const char* name, char* path, size_t size)
{
    char directory[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, directory, sizeof(directory));
    char* slash = length > 0 && length < sizeof(directory) ? std::strrchr(directory, '\\') : nullptr;
    if (slash != nullptr)
        slash[1] = '\0';
    else
        directory[0] = '\0';
    if (std::strlen(directory) + std::strlen(name) >= size) {
        BufSet(path, size, "");
        return false;
    }
    BufSet(path, size, directory);
    BufAppend(path, size, name);
    return true;
}

HMODULE LoadPluginModule(const char* path)
{
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryByPath(path);
    SetErrorMode(previous);
    return module;
}

bool PassesVersionGate(HMODULE module)
{
    const GetVersionNumberFn version = PluginExport<GetVersionNumberFn>(module, "GetVersionNumber");
    return version != nullptr && version() <= 1;
}
