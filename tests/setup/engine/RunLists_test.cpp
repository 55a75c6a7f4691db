// What the end-to-end runs do not show: a removal's selection with keys
// that are listed twice or not registered, and the cabinet rule for copies
// to another name.
#include "ComponentList.h"
#include "QueueText.h"
#include "RunLists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int Registered(const char* key)
{
    return std::strchr("ABC", key[0]) != nullptr;
}

TEST(RunLists, RemovalSelectsTheListedAndCountsTheRegisteredRest)
{
    ComponentListClear();
    for (const char* key : {"A", "B", "C", "D"})
        ComponentListAdd(key, 1);
    const std::string list = std::string("a\0b\0b\0X\0", 8) + '\0';
    EXPECT_EQ(1, SelectProductsToRemove(list.c_str(), Registered)) << "C stays; D was never registered";
    for (int i = 0; i < 4; ++i) {
        int selected = -1;
        ComponentListGet(i, nullptr, 0, &selected);
        EXPECT_EQ(i < 2 ? 1 : 0, selected) << i;
    }
    ComponentListClear();
}

TEST(QueueText, CabinetsPlacedOnlyUnderTheirOwnName)
{
    const struct { const char* source; const char* target; bool cabinet; } copies[] = {
        {".\\data.cab", "C:\\T\\DATA.CAB", true},   {".\\data.cab", "C:\\T\\other.cab", false},
        {".\\data.txt", "C:\\T\\data.txt", false},  {"x.cab\\data", "C:\\data", false},
    };
    for (const auto& copy : copies)
        EXPECT_EQ(copy.cabinet, IsCabinetCopy(copy.source, copy.target)) << copy.source << " -> " << copy.target;
    char directory[8];
    QueueDirectoryOf("C:\\abcdefgh\\x", directory, sizeof(directory));
    EXPECT_STREQ("C:\\abcd", directory) << "cut to the buffer";
}

}  // namespace
