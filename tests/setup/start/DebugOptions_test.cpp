#include "DebugOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

TEST(DebugOptions, TokensOptionsAndQuotes)
{
    const std::vector<DebugOption> options = DebugParseOptions(
        "  setup.exe\t/debug:2,\"c:\\my dir\\a b.log\" -Quiet /x:\"a:b\",\"c,d\",e \"two words\" \"lone /\"n:m\":v");
    ASSERT_EQ(6u, options.size());
    EXPECT_FALSE(options[0].hasName);
    EXPECT_EQ(Items({"setup.exe"}), options[0].value);
    EXPECT_EQ("debug", options[1].name);
    EXPECT_EQ(Items({"2", "c:\\my dir\\a b.log"}), options[1].value) << "blank kept, quotes gone";
    EXPECT_EQ("Quiet", options[2].name);
    EXPECT_FALSE(options[2].hasValue);
    EXPECT_EQ("x", options[3].name);
    EXPECT_EQ(Items({"a:b", "c,d", "e"}), options[3].value) << "commas inside quotes do not split";
    EXPECT_FALSE(options[4].hasName);
    EXPECT_EQ(Items({"two words"}), options[4].value);
    // An open quote keeps the blank inside the token; three quotes are no pair.
    EXPECT_FALSE(options[5].hasName);
    EXPECT_EQ(Items({"\"lone /\"n:m\":v"}), options[5].value);

    const std::vector<DebugOption> named = DebugParseOptions("/\"n:m\":v");
    ASSERT_EQ(1u, named.size());
    EXPECT_EQ("\"n:m\"", named[0].name);
    EXPECT_EQ(Items({"v"}), named[0].value);

    EXPECT_TRUE(DebugParseOptions(nullptr).empty());
    EXPECT_TRUE(DebugParseOptions(" \t ").empty());
}

TEST(DebugOptions, ListSplitting)
{
    struct Case { const char* text; Items items; };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"2,c:\\setup.log", {"2", "c:\\setup.log"}},
        {"a,,b", {"a"}},                    // an empty item ends the list
        {",a", {}},
        {"a,", {"a"}},
        {"\"\",b", {}},                      // empty after unquoting
        {"\"a\"b\",c", {"\"a\"b\",c"}},      // the third quote opens again: one item
        {"\"a\"b\"", {"a\"b"}},               // first and last quote removed
        {"\"lone,x", {"lone,x"}},            // the open quote swallows the comma
        {"mid\"dle,x", {"mid\"dle,x"}},
        {"end\",x", {"end\",x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.items, DebugSplitList(c.text)) << c.text;
}

TEST(DebugOptions, LevelAndSinksFromOptionOrVariable)
{
    struct Case {
        const char* commandLine;
        const char* variable;
        int level;
        bool toStdout;
        bool pipe;
        Items sinks;
    };
    const Case cases[] = {
        {nullptr, nullptr, 3, true, true, {}},
        {"/quiet", nullptr, 3, true, true, {}},
        {"/debug:0", nullptr, 0, true, true, {}},
        {"/debug:2,c:\\setup.log", nullptr, 2, false, false, {"c:\\setup.log"}},
        {"/debug:stdout,msdbg", nullptr, 3, true, false, {}},
        {"/DEBUG:Stdout,MSDBG,x", nullptr, 3, true, false, {"x"}},
        {"/debug:msdbg", nullptr, 3, false, false, {}},
        {"/debug:5", nullptr, 3, false, false, {"5"}},
        {"/debug:02", nullptr, 3, false, false, {"02"}},
        {"/debug:1,2", nullptr, 1, false, false, {"2"}},
        {"/debug:2,", nullptr, 2, true, true, {}},
        {"/debug:\"c:\\a b\\log file.txt\"", nullptr, 3, false, false, {"c:\\a b\\log file.txt"}},
        {"/debug:1 /debug:2,f", nullptr, 1, true, true, {}},      // the first option counts
        {"/debug", "1,x.log", 3, true, true, {}},                  // variable not consulted
        {"/debug:", "1,x.log", 3, true, true, {}},
        {"/quiet", "1,x.log,stdout", 1, true, false, {"x.log"}},
        {nullptr, "2", 2, true, true, {}},
        {nullptr, "", 3, true, true, {}},
        {nullptr, "a,\"b,c\"", 3, false, false, {"a", "b,c"}},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.commandLine ? c.commandLine : "(none)") + " / " +
                                  (c.variable ? c.variable : "(unset)");
        const DebugSetup setup = DebugChooseSetup(c.commandLine, c.variable);
        EXPECT_EQ(c.level, setup.level) << label;
        EXPECT_EQ(c.toStdout, setup.toStdout) << label;
        EXPECT_EQ(c.pipe, setup.toDebugPipe) << label;
        EXPECT_EQ(c.sinks, setup.sinks) << label;
    }
}

}  // namespace
