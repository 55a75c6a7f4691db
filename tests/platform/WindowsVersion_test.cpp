// The Windows version Wine reports follows the test's WINETEST_WINVER: both
// programs branch on it, so tests must be able to choose it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::string g_expected;  // win95, win98, win2k, winxp or win10, from the command line

TEST(WindowsVersion, IsTheOneTheTestAskedFor)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    struct Expected
    {
        const char* name;
        DWORD major, minor, platform;
    };
    const Expected table[] = {
        {"win95", 4, 0, VER_PLATFORM_WIN32_WINDOWS},
        {"win98", 4, 10, VER_PLATFORM_WIN32_WINDOWS},
        {"win2k", 5, 0, VER_PLATFORM_WIN32_NT},
        {"winxp", 5, 1, VER_PLATFORM_WIN32_NT},
        // Without a manifest that declares Windows 10 support, GetVersionEx
        // answers 6.2 there, on Windows as under Wine.
        {"win10", 6, 2, VER_PLATFORM_WIN32_NT},
    };
    const Expected* expected = nullptr;
    for (const Expected& e : table) {
        if (g_expected == e.name)
            expected = &e;
    }
    ASSERT_NE(nullptr, expected) << "unknown version " << g_expected;
    EXPECT_EQ(expected->major, info.dwMajorVersion);
    EXPECT_EQ(expected->minor, info.dwMinorVersion);
    EXPECT_EQ(expected->platform, info.dwPlatformId);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2)
        return 2;
    g_expected = argv[1];
    return RUN_ALL_TESTS();
}
