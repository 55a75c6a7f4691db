#include "SectionEntryText.h"

#include "BufCopy.h"
#include "RegistryLineRules.h"

#include <cstring>

const char* SectionEntryDetail(const SectionEntry& entry, char* buffer, size_t size)
{
    BufSet(buffer, size, "");
    const char* value = entry.valueName.empty() ? "(default)" : entry.valueName.c_str();
    const char* action = entry.action;
    if (std::strcmp(action, "set-value") == 0 || std::strcmp(action, "append-strings") == 0) {
        char type[32];
        BufFormat(buffer, size, "value %s, %s", value, RegistryTypeName(entry.type, type, sizeof(type)));
    } else if (std::strcmp(action, "delete-value") == 0) {
        BufFormat(buffer, size, "value %s", value);
    } else if (std::strcmp(action, "delete-string") == 0) {
        BufFormat(buffer, size, "value %s, string %s", value, entry.data.c_str());
    } else if (std::strcmp(action, "ini-write") == 0) {
        BufFormat(buffer, size, "[%s] %s", entry.iniSection.c_str(), entry.iniEntry.c_str());
    } else if (std::strcmp(action, "skip") == 0 && entry.why != nullptr) {
        BufSet(buffer, size, entry.why);
    }
    return buffer;
}
