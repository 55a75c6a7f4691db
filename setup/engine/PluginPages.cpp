#include "PluginLists.h"
#include "PluginModule.h"
#include "Plugins.h"

int PluginPageCount(int level)
{
    int count = 0;
    for (const PluginPageSet& set : PluginPageSets()) {
        if (set.level == level)
            count += set.count;
    }
    return count;
}

size_t PluginPageRecordSize(int wizard97)
{
    return wizard97 ? sizeof(PluginPageWizard97) : sizeof(PluginPageClassic);
}

void* FillPluginPages(int level, void* first, int wizard97)
{
    unsigned char* record = static_cast<unsigned char*>(first);
    for (const PluginPageSet& set : PluginPageSets()) {
        if (set.level != level)
            continue;
        const GetPluginPagesFn fill = PluginExport<GetPluginPagesFn>(set.module, "GetPluginPages");
        if (fill == nullptr)
            continue;  // not counted either
        char parameter[kPluginParameterSize];
        ReadPluginParameter(&set.scriptLine, set.field, parameter, sizeof(parameter));
        fill(level, record, wizard97, parameter);
        record += static_cast<size_t>(set.count) * PluginPageRecordSize(wizard97);
    }
    return record;
}
