#include "RunLists.h"

#include "ComponentList.h"
#include "ScriptFields.h"
#include "TextList.h"

#include <cstdlib>

namespace {

// Products-line flag: the product needs a restart after it was installed or
// removed.
const int kNeedsRestart = 4;

// Makes `*list` an allocated empty list.
int StartList(char** list, size_t* capacity)
{
    if (*list == nullptr || *capacity < 2) {
        char* fresh = static_cast<char*>(std::realloc(*list, 2));
        if (fresh == nullptr)
            return 0;
        *list = fresh;
        *capacity = 2;
    }
    (*list)[0] = (*list)[1] = '\0';
    return 1;
}

// Appends `text` unless it is empty (an empty text would end the list).
int AddSection(char** list, size_t* capacity, const char* text)
{
    return text[0] == '\0' || xUtilListAppendGrow(list, capacity, text);
}

// Appends field `field` of the products line of every key of `productList`.
int AddProductSections(char** list, size_t* capacity, const char* productList, int field,
                       ProductLineField read, void* script)
{
    for (int i = 0; const char* key = xUtilListEntry(productList, i); ++i) {
        char section[kRunSectionNameSize] = "";
        if (read(script, key, field, section, sizeof(section)) && !AddSection(list, capacity, section))
            return 0;
    }
    return 1;
}

}  // namespace

int BuildInstallSections(char** list, size_t* capacity, const char* installSection, const char* productList,
                         ProductLineField field, void* script)
{
    return StartList(list, capacity) && AddSection(list, capacity, installSection) &&
           AddProductSections(list, capacity, productList, 2, field, script);
}

int BuildRemoveSections(char** list, size_t* capacity, const char* removeSection, const char* productList,
                        int remaining, ProductLineField field, void* script)
{
    return StartList(list, capacity) && AddProductSections(list, capacity, productList, 3, field, script) &&
           (remaining != 0 || AddSection(list, capacity, removeSection));
}

int SelectProductsToRemove(const char* productList, ProductRegistered isRegistered)
{
    int remaining = 0;
    for (int i = 0; const char* key = ComponentListName(i); ++i) {
        const int selected = xUtilListFindNoCase(productList, key) >= 0 ? 1 : 0;
        ComponentListSetSelected(i, selected);
        if (!selected && isRegistered(key))
            ++remaining;
    }
    return remaining;
}

int CountRestartRequests(const char* productList, const char* rebootField, ProductLineField field, void* script)
{
    int count = 0;
    for (int i = 0; const char* key = xUtilListEntry(productList, i); ++i) {
        char flags[32] = "";
        if (field(script, key, 4, flags, sizeof(flags)) && (ScriptDecimal(flags) & kNeedsRestart) != 0)
            ++count;
    }
    if (rebootField != nullptr && ScriptDecimal(rebootField) != 0)
        ++count;
    return count;
}
