#include "DebugOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

TEST(DebugOptions, TokensOptionsAndQuotes)
{
    const std::vector<DebugOption> options = DebugParseOptions(
        "  setup.exe\t/debug:2,\"c:\\my dir\\a b.log\" -Quiet /x:\"a:b\",\"c,d\",,e \"two words\" /\"n:m\":v");
    ASSERT_EQ(6u, options.size());
    EXPECT_FALSE(options[0].hasName);
    EXPECT_EQ(Items({"setup.exe"}), options[0].value);
    EXPECT_EQ("debug", options[1].name);
    EXPECT_EQ(Items({"2", "c:\\my dir\\a b.log"}), options[1].value) << "blank kept, quotes gone";
    EXPECT_EQ("Quiet", options[2].name);
    EXPECT_FALSE(options[2].hasValue);
    EXPECT_EQ(Items({"a:b", "c,d"}), options[3].value) << "the empty item ends the list";
    EXPECT_EQ(Items({"two words"}), options[4].value);
    EXPECT_EQ("\"n:m\"", options[5].name) << "a colon inside quotes belongs to the name";
    EXPECT_TRUE(DebugParseOptions(nullptr).empty());

    // Quotes of list items: a pair at both ends, or a lone leading one, goes.
    EXPECT_EQ(Items({"\"a\"b\",c"}), DebugSplitList("\"a\"b\",c")) << "the third quote opens again";
    EXPECT_EQ(Items({"a\"b"}), DebugSplitList("\"a\"b\""));
    EXPECT_EQ(Items({"lone,x"}), DebugSplitList("\"lone,x"));
    EXPECT_EQ(Items({"end\",x"}), DebugSplitList("end\",x"));
    EXPECT_EQ(Items(), DebugSplitList("\"\",a"));
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
        {"/debug:0", nullptr, 0, true, true, {}},
        {"/debug:2,c:\\setup.log", nullptr, 2, false, false, {"c:\\setup.log"}},
        {"/DEBUG:Stdout,MSDBG,x", nullptr, 3, true, false, {"x"}},
        {"/debug:msdbg", nullptr, 3, false, false, {}},
        {"/debug:5", nullptr, 3, false, false, {"5"}},
        {"/debug:1,2", nullptr, 1, false, false, {"2"}},
        {"/debug:2,", nullptr, 2, true, true, {}},
        {"/debug:1 /debug:2,f", nullptr, 1, true, true, {}},  // the first option counts
        {"/debug", "1,x.log", 3, true, true, {}},              // the variable is not read
        {"/quiet", "1,x.log,stdout", 1, true, false, {"x.log"}},
        {nullptr, "", 3, true, true, {}},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.commandLine ? c.commandLine : "-") + " / " +
                                  (c.variable ? c.variable : "-");
        const DebugSetup setup = DebugChooseSetup(c.commandLine, c.variable);
        EXPECT_EQ(c.level, setup.level) << label;
        EXPECT_EQ(c.toStdout, setup.toStdout) << label;
        EXPECT_EQ(c.pipe, setup.toDebugPipe) << label;
        EXPECT_EQ(c.sinks, setup.sinks) << label;
    }
}

}  // namespace

// Names that Windows opens as a device are told from file names by their
// text: the device namespaces and the DOS device names in any disguise.
TEST(DebugOptions, DeviceNamesAreToldFromFileNames)
{
    for (const char* device : {"\\\\.\\pipe\\debug", "//./COM1", "\\\\?\\C:\\setup.log", "\\??\\C:\\x", "NUL",
                               "con", "C:\\logs\\nul.log", "c:/logs/Aux.txt", "COM9", "lpt1:", "prn ", "C:CON",
                               "conout$", "logs\\com3 .log.txt"})
        EXPECT_TRUE(DebugNameIsDevice(device)) << device;
    for (const char* file : {"setup.log", "C:\\my logs\\setup.log", "\\\\server\\share\\nul-not.log", "COM10",
                             "COM0", "console.log", "C:\\nul\\setup.log", "lpt", "x.nul", "\\\\.x\\y", "C:"})
        EXPECT_FALSE(DebugNameIsDevice(file)) << file;
}
