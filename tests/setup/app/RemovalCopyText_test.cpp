// The text rules of a removal that runs from a copy, on the host: which
// folders are copies, the program a registered command starts, the
// libraries a copy can take along, and the command line that starts it.
#include "RemovalCopyText.h"
#include "SetupCommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RemovalCopyText, CopyFolderNames)
{
    EXPECT_TRUE(IsRemovalCopyFolderName("removal-0123456789abcdef"));
    EXPECT_TRUE(IsRemovalCopyFolderName("Removal-0123456789ABCDEF"));
    for (const char* name : {"removal-0123456789abcde", "removal-0123456789abcdef0", "removal-0123456789abcdeg",
                             "removal_0123456789abcdef", "setup-0123456789abcdef", "removal-", ""}) {
        EXPECT_FALSE(IsRemovalCopyFolderName(name)) << name;
    }
}

TEST(RemovalCopyText, ProgramOfARegisteredCommand)
{
    char program[64];
    EXPECT_TRUE(CommandProgram("\"C:\\Program Files\\Vantor\\setup.exe\" /remove:ModemTest", program, sizeof(program)));
    EXPECT_STREQ("C:\\Program Files\\Vantor\\setup.exe", program);
    EXPECT_TRUE(CommandProgram("  C:\\Tools\\setup.exe /remove:X", program, sizeof(program)));
    EXPECT_STREQ("C:\\Tools\\setup.exe", program);
    EXPECT_TRUE(CommandProgram("C:\\Tools\\setup.exe", program, sizeof(program)));
    EXPECT_STREQ("C:\\Tools\\setup.exe", program);
    for (const char* command : {"\"C:\\Program Files\\setup.exe /remove:X", "\"\" /remove:X", "", "   "}) {
        EXPECT_FALSE(CommandProgram(command, program, sizeof(program))) << command;
        EXPECT_STREQ("", program) << command;
    }
    // A program is never cut: 7 characters fit 8 bytes, 8 do not.
    char small[8];
    EXPECT_TRUE(CommandProgram("\"C:\\a.ex\" /x", small, sizeof(small)));
    EXPECT_STREQ("C:\\a.ex", small);
    EXPECT_FALSE(CommandProgram("\"C:\\a.exe\" /x", small, sizeof(small)));
    EXPECT_FALSE(CommandProgram("C:\\ab.exe /x", small, sizeof(small)));
    EXPECT_STREQ("", small);
}

TEST(RemovalCopyText, FolderAndNameOfAProgram)
{
    char folder[32], name[16];
    EXPECT_TRUE(SplitProgramPath("C:\\Modem Tools\\setup.exe", folder, sizeof(folder), name, sizeof(name)));
    EXPECT_STREQ("C:\\Modem Tools", folder);
    EXPECT_STREQ("setup.exe", name);
    EXPECT_TRUE(SplitProgramPath("C:\\setup.exe", folder, sizeof(folder), name, sizeof(name)));
    EXPECT_STREQ("C:\\", folder) << "a drive's root keeps its backslash";
    EXPECT_TRUE(SplitProgramPath("\\\\server\\share\\setup.exe", folder, sizeof(folder), name, sizeof(name)));
    EXPECT_STREQ("\\\\server\\share", folder);
    for (const char* path : {"setup.exe", "C:\\Tools\\", ""}) {
        EXPECT_FALSE(SplitProgramPath(path, folder, sizeof(folder), name, sizeof(name))) << path;
        EXPECT_STREQ("", folder);
        EXPECT_STREQ("", name);
    }
    // 4 characters fit 5 bytes, 5 do not.
    char tiny[5];
    EXPECT_TRUE(SplitProgramPath("C:\\x\\abcd", tiny, sizeof(tiny), name, sizeof(name)));
    EXPECT_FALSE(SplitProgramPath("C:\\xy\\abc", tiny, sizeof(tiny), name, sizeof(name))) << "a folder never cut";
    EXPECT_TRUE(SplitProgramPath("C:\\x\\abcd", folder, sizeof(folder), tiny, sizeof(tiny)));
    EXPECT_FALSE(SplitProgramPath("C:\\x\\abcde", folder, sizeof(folder), tiny, sizeof(tiny))) << "a name never cut";
}

TEST(RemovalCopyText, LibrariesACopyCanTakeAlong)
{
    EXPECT_TRUE(IsPlainFileName("modemcfg.dll"));
    EXPECT_TRUE(IsPlainFileName("checks"));
    for (const char* name : {"sub\\checks.dll", "..\\checks.dll", "sub/checks.dll", "C:checks.dll",
                             "checks.dll:stream", "*.dll", ".", "..", ""}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
}

// The copy gets the arguments as given, then its switch; read back, they
// are the same run, marked as the copy's, with nothing ignored.
TEST(RemovalCopyText, CommandOfTheCopy)
{
    const std::string program = "C:\\Windows\\Temp\\removal-0123456789abcdef\\setup.exe";
    const std::string arguments = " /remove:ModemTest /quiet \"/log:C:\\my logs\\remove.log\"\t";
    const std::string command = RemovalCopyCommand(program, arguments);
    EXPECT_EQ("\"" + program + "\" /remove:ModemTest /quiet \"/log:C:\\my logs\\remove.log\" /removalcopy", command);
    EXPECT_EQ("\"" + program + "\" /removalcopy", RemovalCopyCommand(program, "  "));

    SetupOptions options;
    ParseSetupCommandLine(command.substr(program.size() + 2).c_str(), &options);
    EXPECT_TRUE(options.removalCopy);
    EXPECT_EQ(1, options.removeMode);
    EXPECT_STREQ("ModemTest", options.productList);
    EXPECT_EQ(1, options.quiet);
    EXPECT_STREQ("C:\\my logs\\remove.log", options.logPath);
    EXPECT_STREQ("", options.ignored);

    SetupOptions upper;
    ParseSetupCommandLine("/REMOVALCOPY", &upper);
    EXPECT_TRUE(upper.removalCopy);
    SetupOptions longer;
    ParseSetupCommandLine("/removalcopy:1 /removalcopyx", &longer);
    EXPECT_FALSE(longer.removalCopy) << "the whole token only";
    EXPECT_STREQ("/removalcopy:1", longer.ignored);
}

}  // namespace
