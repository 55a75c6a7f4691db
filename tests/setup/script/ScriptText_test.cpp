// Host tests of the script's text logic: version comparison, script numbers
// and references, the window-handle placeholder, the section rules per
// Windows version and the component list.
#include "ComponentList.h"
#include "ScriptFields.h"
#include "SectionChoice.h"
#include "StringKeys.h"
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
        {"1.2.10", "1.2.3", 7}, {"1.2.10", "1.3", -1}, {"2.10", "2.9", 1},
        {"1.2.0.1", "1.2", 0}, {"2.1.0", "2.1.0.5", 0},   // the shorter text stops the walk
        {"", "", 0}, {"abc", "1", -1}, {" 3.-1", "3. +1", -2}, {"1.x.5", "1.0.9", 0}, {"1.2", "1.2 .9", 0},
        {"99999999999", "0", INT_MAX}, {"-99999999999", "99999999999", INT_MIN},  // held, never wrapped
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CompareVersionTexts(c.given, c.installed)) << c.given << " vs " << c.installed;
}

TEST(ScriptFields, NumbersAndReferences)
{
    const std::pair<const char*, uint32_t> numbers[] = {{"0X1f", 31}, {"010", 8}, {"x", 0}, {"99999999999", UINT32_MAX}};
    for (const auto& n : numbers)
        EXPECT_EQ(n.second, ScriptNumber(n.first)) << n.first;
    int number = -1;
    const char* file = nullptr;
    ASSERT_TRUE(SplitIconReference("x@y@z", &number, &file));
    EXPECT_EQ(0, number);
    EXPECT_STREQ("y@z", file);
    EXPECT_FALSE(SplitIconReference("5", &number, &file));
    EXPECT_EQ(nullptr, VersionReferenceFile("1@f.dll"));
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
        {"%hwnd%", 10, "0x00001a2"}, {"%hwnd%", 11, "0x00001a2b"}, {"%hwnd%", 12, "0x00001a2b"},
        {"abc%hwnd%", 5, "abc%"},                            // cut before the replacement
        {"%hwnd%%hwnd%", 14, "0x00001a2b%hw"},               // the cut leaves no placeholder
    };
    for (const Case& c : cases) {
        std::vector<char> out(c.capacity, '#');
        EXPECT_EQ(std::strlen(c.expected), ExpandWindowPlaceholder(c.arguments, 0x1A2B, out.data(), c.capacity));
        EXPECT_STREQ(c.expected, out.data()) << c.arguments << " in " << c.capacity;
    }
}

// Versions the Wine tests do not run as; nothing there has lines.
TEST(SectionChoice, RulesAndUncheckedFallback)
{
    std::vector<std::string> asked;
    const auto none = [&asked](const char* name) { return asked.push_back(name), false; };
    struct Case { WindowsVersionInfo version; std::vector<std::string> tried; };
    const Case cases[] = {
        {{true, 10, 0}, {"Remove.NT5", "Remove.NTx86", "Remove.NT"}},   // minor 0 is not XP
        {{true, 6, 3}, {"Remove.XP", "Remove.NT5", "Remove.NTx86", "Remove.NT"}},
        {{false, 4, 90}, {"Remove.WinMe", "Remove.Win98", "Remove.Win"}},
        {{false, 4, 3}, {"Remove.Win98", "Remove.Win"}},
    };
    for (const Case& c : cases) {
        asked.clear();
        EXPECT_STREQ("Remove", ChooseSection(c.version, kRemoveColumn, none));
        EXPECT_EQ(c.tried, asked) << c.version.major << "." << c.version.minor;
    }
    EXPECT_STREQ("Products.NTx86", ChooseSection({true, 6, 3}, kProductsColumn,
                                                 [](const char* name) { return std::strstr(name, "x86") != nullptr; }));
}

TEST(ComponentList, FlagsStayPutNamesAreCut)
{
    ComponentListClear();
    ComponentListAdd("Modem", 1);
    ComponentListAdd(std::string(kComponentNameMax + 1, 'k').c_str(), 0);
    int* first = ComponentListSelectedFlag(0);
    for (int i = 0; i < 200; ++i)
        ComponentListAdd("modem", 0);
    EXPECT_EQ(first, ComponentListSelectedFlag(0)) << "plug-ins keep this address";
    EXPECT_EQ(std::string(kComponentNameMax, 'k'), ComponentListName(1));
    EXPECT_EQ(1, ComponentListSetSelectedByName("MODEM", 0));
    EXPECT_EQ(0, *first);
    EXPECT_EQ(0, ComponentListSetSelected(202, 1));
    EXPECT_EQ(0, ComponentListSetSelectedByName("Mode", 1));
    ComponentListClear();
    EXPECT_EQ(0, ComponentListCount());
}

// A string key the script's [Strings] lacks stays in the field as %key%;
// directory ids, %hwnd% and percent signs that open no key are not keys.
TEST(StringKeys, UndefinedKeysAndWhatIsNoKey)
{
    const struct
    {
        const char* field;
        const char* key;  // null: none
    } cases[] = {
        {"%TargetFolder%", "TargetFolder"},
        {"C:\\Program Files\\%TargetFolder%\\x", "TargetFolder"},
        {"%24%\\%Sub%", "Sub"},
        {"%32768%\\mdmprobe.exe", nullptr},
        {"%hwnd% /install", nullptr},
        {"100% sure, 50% off", nullptr},
        {"100% and %Key%", "Key"},
        {"%%", nullptr},
        {"%unclosed", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        std::string key = "untouched";
        EXPECT_EQ(c.key != nullptr, FindUndefinedStringKey(c.field, key)) << c.field;
        EXPECT_EQ(c.key ? c.key : "untouched", key) << c.field;
    }
}

}  // namespace
