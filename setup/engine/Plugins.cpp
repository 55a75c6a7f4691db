#include "Plugins.h"

#include "BufCopy.h"
#include "ComponentList.h"
#include "PluginLists.h"
#include "PluginModule.h"
#include "PluginText.h"
#include "Products.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "ScriptTrace.h"

#include <cstring>
#include <new>

namespace {

// The selection flag of the listings in the global section. Plug-ins may
// keep the pointer until the release.
int g_alwaysSelected = 1;

// The module of the library at `path`, loading it on its first listing.
// The record is kept also when loading failed, so a broken library is
// tried only once.
HMODULE LibraryFor(const char* path)
{
    std::vector<PluginLibrary>& libraries = PluginLibraries();
    for (const PluginLibrary& library : libraries) {
        if (std::strcmp(library.path, path) == 0)
            return library.module;
    }
    PluginLibrary record;
    BufSet(record.path, sizeof(record.path), path);
    record.module = LoadPluginModule(path);
    try {
        libraries.push_back(record);
    } catch (const std::bad_alloc&) {
        if (record.module != nullptr)
            FreeLibrary(record.module);
        return nullptr;
    }
    return record.module;
}

void CollectSteps(HMODULE module, int* selected, const char* parameter, const INFCONTEXT& line, DWORD field)
{
    if (const QueryPluginFn query = PluginExport<QueryPluginFn>(module, "QueryPlugin"))
        query(selected, parameter);
    const QueryPluginStepsFn querySteps = PluginExport<QueryPluginStepsFn>(module, "QueryPluginSteps");
    const int count = querySteps != nullptr ? querySteps(parameter) : 0;
    const GetPluginStepFn getStep = PluginExport<GetPluginStepFn>(module, "GetPluginStep");
    if (getStep == nullptr)
        return;
    for (int index = 0; index < count; ++index) {
        std::unique_ptr<PluginStep> step(new (std::nothrow) PluginStep());
        if (!step)
            continue;
        getStep(step.get(), index, parameter);
        // Texts the plug-in left unterminated end at their last byte.
        step->exportName[sizeof(step->exportName) - 1] = '\0';
        step->status[sizeof(step->status) - 1] = '\0';
        step->module = module;
        step->scriptLine = line;
        step->field = field;
        try {
            PluginSteps().push_back(std::move(step));
        } catch (const std::bad_alloc&) {
        }
    }
}

void CollectPages(HMODULE module, const char* parameter, const INFCONTEXT& line, DWORD field)
{
    const QueryPluginPagesFn queryPages = PluginExport<QueryPluginPagesFn>(module, "QueryPluginPages");
    if (queryPages == nullptr)
        return;
    // Pages nobody can fill are not counted, so the wizard never holds
    // empty page records.
    const bool canFill = PluginExport<GetPluginPagesFn>(module, "GetPluginPages") != nullptr;
    for (int level = 0; level <= 9; ++level) {
        const int count = queryPages(level, parameter);
        if (count <= 0 || !canFill)
            continue;
        try {
            PluginPageSets().push_back(PluginPageSet{level, count, module, line, field});
        } catch (const std::bad_alloc&) {
        }
    }
}

void CollectSection(HINF script, const char* section, int* selected)
{
    ScriptTrace("Collecting plugin information for section %s.\n", section);
    INFCONTEXT line;
    if (!SetupFindFirstLineA(script, section, "Plugins", &line))
        return;
    char text[kPluginParameterSize];
    for (DWORD field = 1; ReadScriptField(&line, field, text, sizeof(text)); ++field) {
        text[kPluginFieldMax] = '\0';
        char library[MAX_PATH], path[MAX_PATH];
        const char* parameter = SplitPluginField(text, library, sizeof(library));
        if (!PluginLibraryPath(library, path, sizeof(path)))
            continue;
        HMODULE module = LibraryFor(path);
        if (module == nullptr || !PassesVersionGate(module))
            continue;
        CollectSteps(module, selected, parameter, line, field);
        CollectPages(module, parameter, line, field);
    }
}

}  // namespace

void CollectPlugins(HINF script, const char* installSection, const char* removeSection,
                    const char* productsSection, int removeMode)
{
    ReleasePlugins();
    g_alwaysSelected = 1;
    CollectSection(script, removeMode ? removeSection : installSection, &g_alwaysSelected);
    for (int index = 0; index < ComponentListCount(); ++index) {
        if (!removeMode) {
            char flags[10];
            if (!ProductField(script, index, 4, flags, sizeof(flags), productsSection) ||
                !(ScriptDecimal(flags) & kProductOffered))
                continue;
        }
        char section[256];
        if (!ProductField(script, index, removeMode ? 3 : 2, section, sizeof(section), productsSection))
            section[0] = '\0';
        CollectSection(script, section, ComponentListSelectedFlag(index));
    }
}

void ReleasePlugins()
{
    std::vector<std::unique_ptr<PluginStep>>().swap(PluginSteps());
    std::vector<PluginPageSet>().swap(PluginPageSets());
    for (const PluginLibrary& library : PluginLibraries()) {
        if (library.module != nullptr)
            FreeLibrary(library.module);
    }
    std::vector<PluginLibrary>().swap(PluginLibraries());
}
