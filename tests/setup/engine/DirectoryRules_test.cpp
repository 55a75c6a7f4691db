// Directory texts of uninstall entries and the product/directory pair list.
#include "DirectoryRules.h"
#include "PairList.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(DirectoryRules, BaseDirectoryOfAProductDirectory)
{
    const char* cases[][3] = {
        // value, sub-directory (null: no line for the key), base directory
        {"D:\\App\\Sub", "sub", "D:\\App"},  // compared without regard to case
        {"D:\\App\\Sub", "Other", ""},
        {"D:\\AppSub", "Sub", ""},  // the backslash belongs to the match
        {"Sub", "Sub", ""},         // not longer than the sub-directory
        {"D:\\A\\Tools\\Bin", "Tools\\Bin", "D:\\A"},
        {"D:\\App", nullptr, "D:\\App"},
        {"D:\\App", "", "D:\\App"},
    };
    for (const auto& c : cases) {
        char base[260];
        BaseDirectoryOf(c[0], c[1], base, sizeof(base));
        EXPECT_STREQ(c[2], base) << c[0] << " / " << (c[1] ? c[1] : "(none)");
    }
    char dir[12];
    EXPECT_EQ(1, JoinSubDirectory("C:\\Tools", "ab", dir, sizeof(dir)));  // 11 characters fit
    EXPECT_STREQ("C:\\Tools\\ab", dir);
    EXPECT_EQ(0, JoinSubDirectory("C:\\Tools", "abc", dir, sizeof(dir)));
}

TEST(DirectoryRules, OnlyUserDefinedIdentifiers)
{
    const std::pair<const char*, unsigned long> accepted[] = {
        {"32768", 32768}, {"0100002", 32770}, {"0x8002", 32770}, {" 40000 ", 40000}, {"65534", 65534},
        {"65536", 65536}, {"4294967294", 4294967294ul},
    };
    for (const auto& [text, expected] : accepted) {
        unsigned long id = 0;
        EXPECT_TRUE(ParseUserDirectoryId(text, &id)) << text;
        EXPECT_EQ(expected, id) << text;
    }
    // No number, a system folder's number, the "absolute path" numbers, or
    // a number with more behind it.
    for (const char* text : {"", "abc", "0", "11", "32767", "65535", "4294967295", "99999999999", "-32768",
                             "+32768", "32768x", "32768, 1", "0x", "1e5"}) {
        unsigned long id = 1;
        EXPECT_FALSE(ParseUserDirectoryId(text, &id)) << text;
        EXPECT_EQ(0ul, id) << text;
    }
}

TEST(DirectoryRules, FoldersOfTheSubDirectoryPath)
{
    using Folders = std::vector<std::string>;
    const Folders vantor = {"C:\\Program Files\\Vantor\\Modem Tools", "C:\\Program Files\\Vantor"};
    EXPECT_EQ(vantor, SubDirectoryFolders("C:\\Program Files\\Vantor\\Modem Tools", "Vantor\\Modem Tools"));
    EXPECT_EQ(vantor, SubDirectoryFolders("C:\\Program Files\\Vantor\\Modem Tools", "\\vantor\\MODEM TOOLS\\"));
    EXPECT_EQ(Folders{"D:\\Apps\\Tools"}, SubDirectoryFolders("D:\\Apps\\Tools", "Tools"));
    EXPECT_EQ((Folders{"D:\\A\\x\\\\y", "D:\\A\\x"}), SubDirectoryFolders("D:\\A\\x\\\\y", "x\\\\y"));
    // A target chosen elsewhere, no sub-directory, a target no longer than
    // it, a name that only ends like it: no folders.
    for (const auto& [target, subDir] : {std::make_pair("D:\\Elsewhere", "Vantor\\Modem Tools"),
                                         std::make_pair("D:\\Apps\\Tools", ""), std::make_pair("Tools", "Tools"),
                                         std::make_pair("\\Tools", "Tools"), std::make_pair("D:\\MyTools", "Tools")})
        EXPECT_EQ(Folders{}, SubDirectoryFolders(target, subDir)) << target << " / " << subDir;
}

TEST(PairList, GrowsAndFindsAnyTextWithoutRegardToCase)
{
    PairList pairs;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(1, PairListAdd(&pairs, ("Product" + std::to_string(i)).c_str(), ("C:\\Dir" + std::to_string(i)).c_str()));
    EXPECT_STREQ("C:\\Dir42", PairListFind(&pairs, "PRODUCT42"));
    EXPECT_STREQ("Product8", PairListFind(&pairs, "c:\\dir7")) << "directories are searched like keys";
    EXPECT_EQ(nullptr, PairListFind(&pairs, "C:\\Dir99"));
    EXPECT_EQ(0, PairListAdd(&pairs, "Empty", ""));
    PairListClear(&pairs);
    EXPECT_EQ(nullptr, PairListFind(&pairs, "Product1"));
    PairListFree(&pairs);
}

}  // namespace
