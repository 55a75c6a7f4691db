// Host tests of the script's text logic: version comparison, script
// numbers, source-file references, the window-handle placeholder, the
// section candidates per Windows version and the global component list.
#include "ComponentList.h"
#include "ScriptFields.h"
#include "SectionChoice.h"
#include "VersionText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(VersionText, Compare)
{
    struct Case { const char* given; const char* installed; int expected; };
    const Case cases[] = {
        {"1.2.10", "1.2.3", 7},
        {"1.2.10", "1.3", -1},
        {"1.2.0.1", "1.2", 0},          // the shorter text stops the walk
        {"2.1.0", "2.1.0.5", 0},
        {"2.10", "2.9", 1},
        {"", "", 0},
        {"abc", "1", -1},               // no digits read as 0
        {" 3.-1", "3. +1", -2},         // white space and signs
        {"1.x.5", "1.0.9", 0},          // "x" is 0 and does not go on with "."
        {"1.2", "1.2 .9", 0},
        {"99999999999", "0", INT_MAX},  // parts held at the 32-bit limits
        {"-99999999999", "99999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CompareVersionTexts(c.given, c.installed)) << c.given << " vs " << c.installed;
}

TEST(ScriptFields, NumbersAndReferences)
{
    const std::pair<const char*, uint32_t> numbers[] = {
        {"2", 2}, {"0x2", 2}, {"0X1f", 31}, {"02", 2}, {"010", 8}, {" 7", 7}, {"", 0}, {"x", 0},
        {"99999999999", UINT32_MAX},
    };
    for (const auto& n : numbers)
        EXPECT_EQ(n.second, ScriptNumber(n.first)) << n.first;

    int number = -1;
    const char* file = nullptr;
    ASSERT_TRUE(SplitIconReference("3@a.exe", &number, &file));
    EXPECT_EQ(3, number);
    EXPECT_STREQ("a.exe", file);
    ASSERT_TRUE(SplitIconReference("x@y@z", &number, &file));
    EXPECT_EQ(0, number);
    EXPECT_STREQ("y@z", file);
    EXPECT_FALSE(SplitIconReference("5", &number, &file));
    EXPECT_STREQ("f.dll", VersionReferenceFile("@f.dll"));
    EXPECT_EQ(nullptr, VersionReferenceFile("1@f.dll"));
    EXPECT_EQ(nullptr, VersionReferenceFile(""));
}

TEST(ScriptFields, WindowPlaceholder)
{
    struct Case { const char* arguments; size_t capacity; const char* expected; };
    const Case cases[] = {
        {"%HWND% /x", 1024, "0x00001a2b /x"},
        {"%hwnd%%Hwnd%", 1024, "0x00001a2b0x00001a2b"},
        {"a%b %hwnd%", 1024, "a%b %hwnd%"},                  // another "%" comes first
        {"%hwnd% 50% %hwnd%", 1024, "0x00001a2b 50% %hwnd%"},
        {"%hwnd", 1024, "%hwnd"},
        {"%hwnd%", 11, "0x00001a2b"},                        // exactly fits
        {"%hwnd%", 10, "0x00001a2"},
        {"%hwnd%", 12, "0x00001a2b"},
        {"abc%hwnd%", 5, "abc%"},                            // cut before the replacement
        {"%hwnd%%hwnd%", 14, "0x00001a2b%hw"},               // the cut leaves no placeholder
    };
    for (const Case& c : cases) {
        std::vector<char> out(c.capacity, '#');
        EXPECT_EQ(std::strlen(c.expected), ExpandWindowPlaceholder(c.arguments, 0x1A2B, out.data(), c.capacity));
        EXPECT_STREQ(c.expected, out.data()) << c.arguments << " in " << c.capacity;
    }
}

std::string Candidates(const WindowsVersionInfo& version, ScriptColumn column)
{
    const char* names[5];
    std::string joined;
    for (int i = 0, count = SectionCandidates(version, column, names); i < count; ++i)
        joined += (i ? " " : "") + std::string(names[i]);
    return joined;
}

TEST(SectionChoice, CandidatesPerVersion)
{
    struct Case { WindowsVersionInfo version; const char* install; };
    const Case cases[] = {
        {{true, 5, 1}, "Install.XP Install.NT5 Install.NTx86 Install.NT Install"},
        {{true, 5, 0}, "Install.NT5 Install.NTx86 Install.NT Install"},
        {{true, 6, 0}, "Install.NT5 Install.NTx86 Install.NT Install"},   // 6.0 is not XP
        {{true, 6, 2}, "Install.XP Install.NT5 Install.NTx86 Install.NT Install"},
        {{true, 10, 0}, "Install.NT5 Install.NTx86 Install.NT Install"},
        {{true, 4, 0}, "Install.NTx86 Install.NT Install"},
        {{false, 4, 0}, "Install.Win Install"},
        {{false, 4, 10}, "Install.WinMe Install.Win98 Install.Win Install"},  // 98 counts as Me
        {{false, 4, 90}, "Install.WinMe Install.Win98 Install.Win Install"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.install, Candidates(c.version, kInstallColumn)) << c.version.major << "." << c.version.minor;
    EXPECT_EQ("Remove.WinMe Remove.Win98 Remove.Win Remove", Candidates({false, 4, 10}, kRemoveColumn));
    EXPECT_EQ("Products.NTx86 Products.NT Products", Candidates({true, 4, 0}, kProductsColumn));
}

TEST(SectionChoice, FirstWithLinesFallbackUnchecked)
{
    std::vector<std::string> asked;
    const auto has = [&asked](const char* name) {
        asked.push_back(name);
        return std::string(name) == "Install.NTx86" || std::string(name) == "Products.XP";
    };
    const WindowsVersionInfo xp = {true, 5, 1};
    EXPECT_STREQ("Install.NTx86", ChooseSection(xp, kInstallColumn, has));
    EXPECT_STREQ("Products.XP", ChooseSection(xp, kProductsColumn, has));
    asked.clear();
    EXPECT_STREQ("Remove", ChooseSection(xp, kRemoveColumn, has));
    EXPECT_EQ((std::vector<std::string>{"Remove.XP", "Remove.NT5", "Remove.NTx86", "Remove.NT"}), asked);
}

TEST(ComponentList, EntriesFlagsAndNames)
{
    ComponentListClear();
    const std::string longest(kComponentNameMax, 'k');
    ASSERT_EQ(1, ComponentListAdd("Modem", 1));
    ASSERT_EQ(1, ComponentListAdd((longest + "xy").c_str(), 0));
    ASSERT_EQ(1, ComponentListAdd("modem", 0));
    int* first = ComponentListSelectedFlag(0);
    for (int i = 0; i < 200; ++i)
        ComponentListAdd("filler", 0);
    EXPECT_EQ(first, ComponentListSelectedFlag(0)) << "plug-ins keep this address";
    EXPECT_EQ(203, ComponentListCount());

    char name[kComponentNameMax + 2];
    int selected = -1;
    ASSERT_EQ(1, ComponentListGet(1, name, sizeof(name), &selected));
    EXPECT_EQ(longest, name) << "cut to 1023 characters";
    EXPECT_EQ(0, selected);
    ASSERT_EQ(1, ComponentListGet(0, name, 4, nullptr));
    EXPECT_STREQ("Mod", name);
    EXPECT_EQ(0, ComponentListGet(203, name, sizeof(name), &selected));
    EXPECT_EQ(0, ComponentListGet(-1, name, sizeof(name), &selected));
    EXPECT_EQ(0, ComponentListSetSelected(203, 1));
    EXPECT_EQ(nullptr, ComponentListName(203));

    EXPECT_EQ(1, ComponentListSetSelectedByName("MODEM", 0));
    EXPECT_EQ(0, *first);
    EXPECT_EQ(1, ComponentListSetSelected(2, 7));
    EXPECT_EQ(0, *first) << "only the first equal name";
    EXPECT_EQ(0, ComponentListSetSelectedByName("Mode", 1));
    ComponentListClear();
    EXPECT_EQ(0, ComponentListCount());
}

}  // namespace
