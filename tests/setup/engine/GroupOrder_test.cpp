// Placing a service group in the group load order list.
#include "GroupOrder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "A,B,C" -> "A\0B\0C\0\0" as stored in the registry.
std::string List(const std::string& commaSeparated)
{
    std::string list = commaSeparated;
    for (char& c : list) {
        if (c == ',')
            c = '\0';
    }
    return list.empty() ? std::string(2, '\0') : list + std::string(2, '\0');
}

std::string Place(const std::string& list, const char* group, const char* position)
{
    return PlaceServiceGroup(list.data(), list.size(), group, position);
}

TEST(GroupOrder, Positions)
{
    const struct {
        const char* before;
        const char* position;
        const char* after;
    } cases[] = {
        {"Alpha,Beta,Gamma", "-Beta", "Alpha,Beta,New,Gamma"},
        {"Beta,Gamma", "-Beta", "Beta,New,Gamma"},
        {"Alpha,Beta,Gamma", "+Beta", "Alpha,New,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "Beta", "Alpha,New,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "", "New,Alpha,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "-", "Alpha,Beta,Gamma,New"},
        {"Alpha,Beta,Gamma", "-Missing", "Alpha,Beta,Gamma,New"},
        {"Alpha,Beta,Gamma", "+Missing", "New,Alpha,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "-beta", "Alpha,Beta,Gamma,New"},  // names are compared exactly
        {"New,Alpha,Beta", "-Beta", "Alpha,Beta,New"},          // moved, not duplicated
        {"Alpha,New,Beta", "", "New,Alpha,Beta"},
        {"Alpha,new", "-Alpha", "Alpha,New,new"},
        {"", "-Beta", "New"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(List(c.after), Place(List(c.before), "New", c.position)) << c.before << " / " << c.position;
}

TEST(GroupOrder, ValueAsStored)
{
    // Missing terminators, a missing value and an empty group.
    EXPECT_EQ(List("TDI,New"), PlaceServiceGroup("TDI", 3, "New", "-"));
    EXPECT_EQ(List("TDI,New"), PlaceServiceGroup("TDI\0", 4, "New", "-"));
    EXPECT_EQ(List("New"), PlaceServiceGroup(nullptr, 0, "New", "+TDI"));
    EXPECT_EQ(List("TDI"), Place(List("TDI"), "", "-"));
    // An empty text ends the list: what follows it is not a group.
    EXPECT_EQ(List("A,New"), Place(std::string("A\0\0B\0\0", 6), "New", "-"));
}

TEST(GroupOrder, KeepsEveryEntryOfALongList)
{
    std::string names;
    for (int i = 0; i < 200; ++i)
        names += (i ? "," : "") + std::string("Group") + std::to_string(i);
    const std::string before = List(names);
    ASSERT_GT(before.size(), 1024u);
    EXPECT_EQ(List("New," + names), Place(before, "New", "+Group0"));
    EXPECT_EQ(List(names + ",New"), Place(before, "New", "-Group199"));
}

}  // namespace
