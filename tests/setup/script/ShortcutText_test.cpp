// Folder codes, working directories and shortcut names.
#include "ShortcutText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShortcutText, FolderCodes)
{
    const ShellFolderValues* desktop = FindShellFolderCode("cdsk");  // any case
    ASSERT_NE(nullptr, desktop);
    EXPECT_STREQ("Common Desktop", desktop->machineWide);
    EXPECT_STREQ("Desktop", desktop->perUser);
    const ShellFolderValues* startup = FindShellFolderCode("UstU");
    ASSERT_NE(nullptr, startup);
    EXPECT_EQ(nullptr, startup->machineWide);
    EXPECT_STREQ("Startup", startup->perUser);
    for (const char* unknown : {"", "CDS", "CDSKX", "XDSK"})
        EXPECT_EQ(nullptr, FindShellFolderCode(unknown)) << unknown;
}

TEST(ShortcutText, WorkingDirectory)
{
    char dir[8];
    EXPECT_STREQ("C:\\a\\b", ShortcutWorkingDir("C:\\a\\b\\c.exe", dir, sizeof(dir)));
    EXPECT_STREQ("", ShortcutWorkingDir("c.exe", dir, sizeof(dir)));
    EXPECT_STREQ("C:", ShortcutWorkingDir("C:\\c.exe", dir, sizeof(dir)));
    EXPECT_STREQ("C:\\abcd", ShortcutWorkingDir("C:\\abcdefgh\\c.exe", dir, sizeof(dir)));  // cut to fit
}

TEST(ShortcutText, NameStaysInsideItsFolder)
{
    for (const char* inside : {"Modem Test", "Vantor\\Tools\\Modem Test", "..a", "a..\\b", "."})
        EXPECT_TRUE(ShortcutNameStaysInside(inside)) << inside;
    for (const char* outside : {"..", "..\\x", "a\\..\\..\\x", "a\\.."})
        EXPECT_FALSE(ShortcutNameStaysInside(outside)) << outside;
}

}  // namespace
