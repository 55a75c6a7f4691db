#include "ServiceLists.h"

#include "ScriptLines.h"
#include "TextList.h"

#include <string>

std::vector<ServiceListEntry> GatherServiceNames(HINF script, const char* sections, const char* key)
{
    const bool withInstallSection = lstrcmpiA(key, "AddService") == 0;
    std::vector<ServiceListEntry> entries;
    for (int i = 0; const char* section = xUtilListEntry(sections, i); ++i) {
        const std::string companion = std::string(section) + ".Services";
        INFCONTEXT line;
        bool more = SetupFindFirstLineA(script, companion.c_str(), key, &line) != FALSE;
        for (; more; more = SetupFindNextMatchLineA(&line, key, &line) != FALSE) {
            ServiceListEntry entry = {};
            if (!ReadScriptField(&line, 1, entry.name, sizeof(entry.name)) || entry.name[0] == '\0')
                continue;
            if (withInstallSection && !ReadScriptField(&line, 3, entry.installSection, sizeof(entry.installSection)))
                continue;
            bool known = false;
            for (const ServiceListEntry& earlier : entries)
                known = known || lstrcmpiA(earlier.name, entry.name) == 0;
            if (!known)
                entries.push_back(entry);
        }
    }
    return entries;
}
