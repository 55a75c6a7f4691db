#include "StartCommand.h"
#include "TextList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A list written as one string with "|" for the NUL bytes ("a|b||").
std::vector<char> Make(const std::string& pattern, size_t capacity = 0)
{
    std::vector<char> buf(pattern.begin(), pattern.end());
    for (char& c : buf) {
        if (c == '|')
            c = '\0';
    }
    buf.resize(capacity > buf.size() ? capacity : buf.size(), '#');
    return buf;
}

std::string Show(const char* list)
{
    std::string text;
    for (const char* e = list; *e != '\0'; e += std::strlen(e) + 1)
        text += std::string(e) + "|";
    return text + "|";
}

TEST(TextList, ReadersStopAtTheFirstEmptyText)
{
    const std::vector<char> list = Make("one|Two|three||after||");
    EXPECT_EQ(3, xUtilListCount(list.data()));
    EXPECT_STREQ("Two", xUtilListEntry(list.data(), 1));
    EXPECT_EQ(nullptr, xUtilListEntry(list.data(), 3)) << "index == count";
    EXPECT_EQ(nullptr, xUtilListEntry(list.data(), -1));
    EXPECT_EQ(2, xUtilListFind(list.data(), "three"));
    EXPECT_EQ(-1, xUtilListFind(list.data(), "two"));
    EXPECT_EQ(1, xUtilListFindNoCase(list.data(), "tWO"));
    EXPECT_EQ(-1, xUtilListFind(list.data(), "after")) << "behind the empty text";
    EXPECT_EQ(-1, xUtilListFind(list.data(), "thre"));
    EXPECT_EQ(15u, xUtilListSize(list.data()));

    const std::vector<char> empty = Make("||");
    EXPECT_EQ(0, xUtilListCount(empty.data()));
    EXPECT_EQ(nullptr, xUtilListEntry(empty.data(), 0));
    EXPECT_EQ(-1, xUtilListFind(empty.data(), ""));
    EXPECT_EQ(-1, xUtilListFindNoCase(empty.data(), "x"));
    EXPECT_EQ(2u, xUtilListSize(empty.data()));
    EXPECT_EQ(0, xUtilListCount(nullptr));
    EXPECT_EQ(-1, xUtilListFind(nullptr, "x"));
}

TEST(TextList, InsertAtEveryPositionWithinCapacity)
{
    struct Case { int position; const char* expected; };
    const Case cases[] = {
        {0, "new|a|bb||"}, {1, "a|new|bb||"}, {2, "a|bb|new||"}, {7, "a|bb|new||"}, {-1, "a|bb|new||"},
    };
    for (const Case& c : cases) {
        // The rule callers follow: size + length + 1, and one guard byte behind.
        const size_t capacity = xUtilListSize(Make("a|bb||").data()) + 4;
        std::vector<char> list = Make("a|bb||", capacity + 1);
        EXPECT_EQ(1, xUtilListInsert(list.data(), capacity, "new", c.position)) << c.position;
        EXPECT_EQ(c.expected, Show(list.data())) << c.position;
        EXPECT_EQ('#', list[capacity]) << c.position;
    }
    std::vector<char> list = Make("a|bb||", 10);
    EXPECT_EQ(0, xUtilListInsert(list.data(), 9, "new", 0)) << "one byte short";
    EXPECT_EQ(0, xUtilListInsert(list.data(), 10, "", 0)) << "an empty text would end the list";
    EXPECT_EQ("a|bb||", Show(list.data()));

    std::vector<char> empty = Make("||", 6);
    EXPECT_EQ(1, xUtilListInsert(empty.data(), 6, "xyz", 3));
    EXPECT_EQ("xyz||", Show(empty.data()));
}

TEST(TextList, AppendAndRemove)
{
    std::vector<char> list = Make("||", 2 + 4 + 3 + 1);
    ASSERT_NE(nullptr, xUtilListAppend(list.data(), 6, "abc"));
    EXPECT_EQ(nullptr, xUtilListAppend(list.data(), 7, "de")) << "needs 8 bytes";
    ASSERT_NE(nullptr, xUtilListAppend(list.data(), 8, "de"));
    EXPECT_EQ("abc|de||", Show(list.data()));
    EXPECT_EQ('#', list[8]);
    EXPECT_EQ(nullptr, xUtilListAppend(list.data(), 20, ""));

    std::vector<char> three = Make("a|bb|ccc||tail||");
    EXPECT_EQ(0, xUtilListRemove(three.data(), 3));
    EXPECT_EQ(1, xUtilListRemove(three.data(), 1));
    EXPECT_EQ("a|ccc||", Show(three.data()));
    EXPECT_EQ(1, xUtilListRemove(three.data(), 1));
    EXPECT_EQ(1, xUtilListRemove(three.data(), 0));
    EXPECT_EQ(0, xUtilListCount(three.data()));
    EXPECT_EQ(0, xUtilListRemove(three.data(), 0));
}

TEST(TextList, Trim)
{
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        {"  key = value \t\r\n", "key = value"}, {"   ", ""}, {"", ""}, {"x", "x"}, {"\tx", "x"},
    };
    for (const Case& c : cases) {
        std::vector<char> text(c.text, c.text + std::strlen(c.text) + 1);
        EXPECT_EQ(text.data(), xUtilTrim(text.data()));
        EXPECT_STREQ(c.expected, text.data()) << '"' << c.text << '"';
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
        {"\"", nullptr, "\"", ""},
    };
    for (const Case& c : cases) {
        const StartCommand command = xUtilBuildStartCommand(c.path, c.args);
        EXPECT_EQ(c.commandLine, command.commandLine) << c.path;
        EXPECT_EQ(c.dir, command.workingDir) << c.path;
    }
}

}  // namespace
