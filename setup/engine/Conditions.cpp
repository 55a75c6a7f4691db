#include "Conditions.h"

#include "BufCopy.h"
#include "PluginInterface.h"
#include "PluginModule.h"
#include "Products.h"
#include "ScriptLines.h"

namespace {

// One line of a condition section. 1 when the condition holds.
int CheckLine(INFCONTEXT* line, char* failureText)
{
    char library[MAX_PATH], exportName[kPluginNameSize], path[MAX_PATH];
    if (!ReadScriptField(line, 1, library, sizeof(library)) || !PluginLibraryPath(library, path, sizeof(path)))
        return 0;
    if (!ReadScriptField(line, 2, exportName, sizeof(exportName)))
        exportName[0] = '\0';
    HMODULE module = LoadPluginModule(path);
    if (module == nullptr)
        return 0;
    int met = 0;
    const ConditionFn condition = PluginExport<ConditionFn>(module, exportName);
    if (PassesVersionGate(module) && condition != nullptr) {
        met = condition() != 0;
        const GetLastFailMessageFn message = PluginExport<GetLastFailMessageFn>(module, "GetLastFailMessage");
        if (!met && message != nullptr) {
            char text[kPluginFailTextSize] = "";
            message(text);
            text[sizeof(text) - 1] = '\0';  // a library that forgot the terminator
            BufSet(failureText, kFailureTextSize, text);
        }
    }
    FreeLibrary(module);
    return met;
}

}  // namespace

int CheckConditions(HINF script, const char* section, char* failureText)
{
    BufSet(failureText, kFailureTextSize, "");
    INFCONTEXT key;
    if (!SetupFindFirstLineA(script, section, "Conditions", &key))
        return 1;
    char name[256];
    for (DWORD field = 1; ReadScriptField(&key, field, name, sizeof(name)); ++field) {
        INFCONTEXT line;
        if (!SetupFindFirstLineA(script, name, nullptr, &line))
            return 0;
        do {
            if (!CheckLine(&line, failureText))
                return 0;
        } while (SetupFindNextLine(&line, &line));
    }
    return 1;
}
