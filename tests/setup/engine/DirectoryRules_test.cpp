// Directory texts of uninstall entries and the product/directory pair list.
#include "DirectoryRules.h"
#include "PairList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DirectoryRules, BaseDirectoryOfAProductDirectory)
{
    const struct {
        const char* value;
        const char* subDir;
        const char* base;
    } cases[] = {
        {"D:\\App\\Sub", "sub", "D:\\App"},  // compared without regard to case
        {"D:\\App\\Sub", "Other", ""},
        {"D:\\AppSub", "Sub", ""},           // the backslash belongs to the match
        {"\\Sub", "Sub", ""},
        {"Sub", "Sub", ""},                  // not longer than the sub-directory
        {"D:\\A\\Tools\\Bin", "Tools\\Bin", "D:\\A"},
        {"D:\\App", nullptr, "D:\\App"},     // the key has no sub-directory line
        {"D:\\App", "", "D:\\App"},
    };
    for (const auto& c : cases) {
        char base[260];
        BaseDirectoryOf(c.value, c.subDir, base, sizeof(base));
        EXPECT_STREQ(c.base, base) << c.value << " / " << (c.subDir ? c.subDir : "(none)");
    }
}

TEST(DirectoryRules, JoinAndIdentifiers)
{
    char dir[12];
    EXPECT_EQ(1, JoinSubDirectory("C:\\Tools", "ab", dir, sizeof(dir)));
    EXPECT_STREQ("C:\\Tools\\ab", dir);  // 11 characters: fits exactly
    EXPECT_EQ(0, JoinSubDirectory("C:\\Tools", "abc", dir, sizeof(dir)));
    EXPECT_STREQ("", dir);
    EXPECT_EQ(1, JoinSubDirectory("C:\\Tools", "", dir, sizeof(dir)));
    EXPECT_STREQ("C:\\Tools", dir);

    EXPECT_EQ(32768ul, ParseDirectoryId("32768"));
    EXPECT_EQ(32769ul, ParseDirectoryId("0x8001"));
    EXPECT_EQ(32770ul, ParseDirectoryId("0100002"));
    EXPECT_EQ(0ul, ParseDirectoryId("dir"));
}

TEST(PairList, GrowsAndFindsAnyTextWithoutRegardToCase)
{
    PairList pairs;
    EXPECT_EQ(nullptr, PairListFind(&pairs, "a"));
    std::string expected;
    for (int i = 0; i < 100; ++i) {
        const std::string key = "Product" + std::to_string(i), dir = "C:\\Target\\Dir" + std::to_string(i);
        ASSERT_EQ(1, PairListAdd(&pairs, key.c_str(), dir.c_str()));
        expected += key + '\0' + dir + '\0';
    }
    EXPECT_EQ(expected + '\0', std::string(pairs.texts, expected.size() + 1));
    EXPECT_STREQ("C:\\Target\\Dir42", PairListFind(&pairs, "PRODUCT42"));
    // A directory is searched like a key: what follows it is the next key.
    EXPECT_STREQ("Product8", PairListFind(&pairs, "c:\\target\\dir7"));
    EXPECT_EQ(nullptr, PairListFind(&pairs, "C:\\Target\\Dir99"));
    EXPECT_EQ(0, PairListAdd(&pairs, "Empty", ""));
    PairListClear(&pairs);
    EXPECT_EQ(nullptr, PairListFind(&pairs, "Product1"));
    EXPECT_EQ(1, PairListAdd(&pairs, "a", "C:\\a"));
    EXPECT_STREQ("C:\\a", PairListFind(&pairs, "A"));
    PairListFree(&pairs);
    EXPECT_EQ(nullptr, pairs.texts);
}

}  // namespace
