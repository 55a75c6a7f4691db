// Placing a service group in the group load order list.
#include "GroupOrder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "A,B,C" -> "A\0B\0C\0\0" as stored in the registry.
std::string List(std::string texts)
{
    for (char& c : texts)
        c = c == ',' ? '\0' : c;
    return texts + std::string(2, '\0');
}

TEST(GroupOrder, Positions)
{
    const char* cases[][3] = {
        // list before, position of New, list after
        {"Alpha,Beta,Gamma", "-Beta", "Alpha,Beta,New,Gamma"},
        {"Beta,Gamma", "-Beta", "Beta,New,Gamma"},
        {"Alpha,Beta,Gamma", "+Beta", "Alpha,New,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "Beta", "Alpha,New,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "", "New,Alpha,Beta,Gamma"},
        {"Alpha,Beta,Gamma", "-", "Alpha,Beta,Gamma,New"},
        {"Alpha,Beta,Gamma", "-beta", "Alpha,Beta,Gamma,New"},  // names are compared exactly
        {"Alpha,Beta,Gamma", "+Missing", "New,Alpha,Beta,Gamma"},
        {"New,Alpha,Beta", "-Beta", "Alpha,Beta,New"},  // moved, not duplicated
        {"", "-Beta", "New"},
        // An empty text inside hides nothing behind it, and is not kept.
        {"Alpha,,Beta,Gamma", "-Beta", "Alpha,Beta,New,Gamma"},
        {",Alpha", "-", "Alpha,New"},
    };
    for (const auto& c : cases) {
        const std::string before = List(c[0]);
        EXPECT_EQ(List(c[2]), PlaceServiceGroup(before.data(), before.size(), "New", c[1])) << c[0] << " / " << c[1];
    }
    // As stored: without its final terminators, or missing.
    EXPECT_EQ(List("TDI,New"), PlaceServiceGroup("TDI", 3, "New", "-"));
    EXPECT_EQ(List("New"), PlaceServiceGroup(nullptr, 0, "New", "+TDI"));
}

TEST(GroupOrder, KeepsEveryEntryOfALongList)
{
    std::string names = "Group0";
    for (int i = 1; i < 200; ++i)
        names += ",Group" + std::to_string(i);
    const std::string before = List(names);
    ASSERT_GT(before.size(), 1024u);
    EXPECT_EQ(List(names + ",New"), PlaceServiceGroup(before.data(), before.size(), "New", "-Group199"));
}

}  // namespace
