// Directory texts of uninstall entries and the product/directory pair list.
#include "DirectoryRules.h"
#include "PairList.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_EQ(32770ul, ParseDirectoryId("0100002"));  // octal
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
