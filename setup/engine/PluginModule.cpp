#include "PluginModule.h"

#include "BufCopy.h"
#include "DllSearch.h"
#include "PluginInterface.h"
#include "ProgramFolder.h"

#include <cstring>

bool PluginLibraryPath(const char* name, char* path, size_t size)
{
    char directory[MAX_PATH] = "";
    ProgramFolder(directory, sizeof(directory));
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
