#include "PluginLists.h"

#include "BufCopy.h"
#include "ScriptLines.h"

#include <cstring>

std::vector<std::unique_ptr<PluginStep>>& PluginSteps()
{
    static std::vector<std::unique_ptr<PluginStep>> steps;
    return steps;
}

std::vector<PluginPageSet>& PluginPageSets()
{
    static std::vector<PluginPageSet> sets;
    return sets;
}

std::vector<PluginLibrary>& PluginLibraries()
{
    static std::vector<PluginLibrary> libraries;
    return libraries;
}

void ReadPluginParameter(const INFCONTEXT* scriptLine, DWORD field, char* parameter, size_t size)
{
    BufSet(parameter, size, "");
    // The Setup API reads through a writable context; work on a copy so
    // the stored position never changes.
    INFCONTEXT line = *scriptLine;
    char text[kPluginParameterSize];
    if (!ReadScriptField(&line, field, text, sizeof(text)))
        return;
    const char* colon = std::strchr(text, ':');
    if (colon != nullptr)
        BufSet(parameter, size, colon + 1);
}
