#include "StartCommand.h"
#include "TextList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A list written with "|" for its NUL bytes ("a|b||"), in a buffer of
// `capacity` bytes filled up with '#'.
std::vector<char> Make(const std::string& pattern, size_t capacity = 0)
{
    std::vector<char> buf(pattern.begin(), pattern.end());
    for (char& c : buf)
        c = c == '|' ? '\0' : c;
    buf.resize(capacity > buf.size() ? capacity : buf.size(), '#');
    return buf;
}

std::string Show(const char* list)
{
    std::string text;
    for (int i = 0; xUtilListEntry(list, i) != nullptr; ++i)
        text += std::string(xUtilListEntry(list, i)) + "|";
    return text + "|";
}

TEST(TextList, ReadersStopAtTheFirstEmptyText)
{
    const std::vector<char> list = Make("one|Two|three||after||");
    EXPECT_EQ(3, xUtilListCount(list.data()));
    EXPECT_EQ(nullptr, xUtilListEntry(list.data(), 3)) << "index == count";
    EXPECT_EQ(1, xUtilListFindNoCase(list.data(), "tWO"));
    EXPECT_EQ(-1, xUtilListFind(list.data(), "two"));
    EXPECT_EQ(-1, xUtilListFind(list.data(), "after"));
    EXPECT_EQ(15u, xUtilListSize(list.data()));

    const std::vector<char> empty = Make("||");
    EXPECT_EQ(0, xUtilListCount(empty.data()));
    EXPECT_EQ(-1, xUtilListFind(empty.data(), ""));
    EXPECT_EQ(2u, xUtilListSize(empty.data()));
    EXPECT_EQ(-1, xUtilListFind(nullptr, "x"));
}

TEST(TextList, AddingChecksTheCapacity)
{
    // Capacity by the callers' rule: size + length + 1; '#' guards behind it.
    const std::pair<int, const char*> cases[] = {
        {0, "new|a|bb||"}, {1, "a|new|bb||"}, {7, "a|bb|new||"}, {-1, "a|bb|new||"}};
    for (const auto& c : cases) {
        std::vector<char> list = Make("a|bb||", 11);
        EXPECT_EQ(1, xUtilListInsert(list.data(), 10, "new", c.first)) << c.first;
        EXPECT_EQ(c.second, Show(list.data())) << c.first;
        EXPECT_EQ('#', list[10]);
    }
    std::vector<char> list = Make("a|bb||", 10);
    EXPECT_EQ(0, xUtilListInsert(list.data(), 9, "new", 0)) << "one byte short";
    EXPECT_EQ(0, xUtilListInsert(list.data(), 10, "", 0)) << "an empty text would end the list";
    EXPECT_EQ(nullptr, xUtilListAppend(list.data(), 9, "new"));
    ASSERT_NE(nullptr, xUtilListAppend(list.data(), 10, "new"));
    EXPECT_EQ("a|bb|new||", Show(list.data()));

    std::vector<char> empty = Make("||", 6);
    EXPECT_EQ(1, xUtilListInsert(empty.data(), 6, "xyz", 3));
    EXPECT_EQ("xyz||", Show(empty.data()));
}

TEST(TextList, RemoveAndTrim)
{
    std::vector<char> list = Make("a|bb|ccc||tail||");
    EXPECT_EQ(0, xUtilListRemove(list.data(), 3));
    EXPECT_EQ(1, xUtilListRemove(list.data(), 1));
    EXPECT_EQ("a|ccc||", Show(list.data()));
    EXPECT_EQ(1, xUtilListRemove(list.data(), 1));
    EXPECT_EQ(1, xUtilListRemove(list.data(), 0));
    EXPECT_EQ(0, xUtilListCount(list.data()));

    const std::pair<const char*, const char*> trims[] = {
        {"  key = value \t\r\n", "key = value"}, {"   ", ""}, {"\tx", "x"}};
    for (const auto& t : trims) {
        std::vector<char> buf(t.first, t.first + std::strlen(t.first) + 1);
        EXPECT_STREQ(t.second, xUtilTrim(buf.data()));
    }
}

TEST(StartCommand, QuotingAndWorkingDirectory)
{
    struct Case { const char* path; const char* args; const char* commandLine; const char* dir; };
    const Case cases[] = {
        {"C:\\Program Files\\x\\run.exe", "-a b", "\"C:\\Program Files\\x\\run.exe\" -a b", "C:\\Program Files\\x"},
        {"\"C:\\Program Files\\run.exe\"", nullptr, "\"C:\\Program Files\\run.exe\"", "C:\\Program Files"},
        {"\"C:\\a b\\run.exe", "", "\"\"C:\\a b\\run.exe\"", "\"C:\\a b"},  // quoted at the start only
        {"C:\\tools\\run.exe", "x", "C:\\tools\\run.exe x", "C:\\tools"},
        {"run.exe", nullptr, "run.exe", ""},
    };
    for (const Case& c : cases) {
        const StartCommand command = xUtilBuildStartCommand(c.path, c.args);
        EXPECT_EQ(c.commandLine, command.commandLine) << c.path;
        EXPECT_EQ(c.dir, command.workingDir) << c.path;
    }
}

}  // namespace
