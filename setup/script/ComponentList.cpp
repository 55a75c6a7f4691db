#include "ComponentList.h"

#include "BufCopy.h"
#include "TextList.h"

#include <deque>
#include <new>

namespace {

struct Component
{
    char name[kComponentNameMax + 1];
    int selected;
};

// A deque never moves its entries when one is appended, so the flag
// addresses handed to plug-ins stay valid.
std::deque<Component>& Components()
{
    static std::deque<Component> components;
    return components;
}

Component* At(int index)
{
    std::deque<Component>& list = Components();
    return index >= 0 && static_cast<size_t>(index) < list.size() ? &list[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

void ComponentListClear()
{
    std::deque<Component>().swap(Components());
}

int ComponentListAdd(const char* name, int selected)
{
    try {
        Components().emplace_back();
    } catch (const std::bad_alloc&) {
        return 0;
    }
    Component& added = Components().back();
    BufSet(added.name, sizeof(added.name), name);
    added.selected = selected;
    return 1;
}

int ComponentListCount()
{
    return static_cast<int>(Components().size());
}

int ComponentListGet(int index, char* name, size_t size, int* selected)
{
    const Component* entry = At(index);
    if (entry == nullptr)
        return 0;
    if (name != nullptr)
        BufSet(name, size, entry->name);
    if (selected != nullptr)
        *selected = entry->selected;
    return 1;
}

const char* ComponentListName(int index)
{
    const Component* entry = At(index);
    return entry != nullptr ? entry->name : nullptr;
}

int* ComponentListSelectedFlag(int index)
{
    Component* entry = At(index);
    return entry != nullptr ? &entry->selected : nullptr;
}

int ComponentListSetSelected(int index, int value)
{
    Component* entry = At(index);
    if (entry == nullptr)
        return 0;
    entry->selected = value;
    return 1;
}

int ComponentListSetSelectedByName(const char* name, int value)
{
    for (Component& entry : Components()) {
        if (xUtilEqualNoCase(entry.name, name)) {
            entry.selected = value;
            return 1;
        }
    }
    return 0;
}
