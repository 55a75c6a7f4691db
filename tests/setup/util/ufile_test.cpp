// File services against the real system: deletion at restart on the NT
// family (pending operations in the registry) and on Windows 98 (wininit.ini),
// whole INI sections around the buffer's growth step, and file security.
#include "TextList.h"
#include "WinTestSupport.h"
#include "ufile.h"
#include "usystem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kDir = "C:\\delay test";

std::string MakeFile(const char* name)
{
    CreateDirectoryA(kDir.c_str(), nullptr);
    const std::string path = kDir + "\\" + name;
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return path;
}

std::string ShortPath(const std::string& path)
{
    char buf[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), buf, sizeof(buf));
    return buf;
}

std::string WininitPath()
{
    char dir[MAX_PATH] = "";
    GetWindowsDirectoryA(dir, sizeof(dir));
    return std::string(dir) + "\\wininit.ini";
}

TEST(DelayDelete, NtSchedulesPendingOperations)
{
    ASSERT_TRUE(xUtilIsWinNT()) << "runs with an NT version";
    const std::string file = MakeFile("doomed file.txt");
    EXPECT_NE(0, xUtilDelayFileDelete(file.c_str()));
    EXPECT_NE(0, xUtilDelayMove(kDir.c_str()));
    const std::vector<testsupport::PendingOperation> pending = testsupport::PendingOperations();
    ASSERT_EQ(2u, pending.size());
    EXPECT_EQ(0u, testsupport::PendingDeletion(pending, file)) << "the file, without a target";
    EXPECT_EQ(1u, testsupport::PendingDeletion(pending, kDir));
    EXPECT_FALSE(testsupport::FileExists(WininitPath()));
}

TEST(DelayDelete, Windows98AppendsToWininitInOrder)
{
    ASSERT_FALSE(xUtilIsWinNT()) << "runs with WINETEST_WINVER=win98";
    const std::string wininit = WininitPath();
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "C:\\NEW.TXT", "C:\\OLD.TXT", wininit.c_str()));
    const std::string first = MakeFile("first file.txt"), second = MakeFile("second file.txt");
    EXPECT_EQ(1, xUtilDelayFileDelete(first.c_str()));
    EXPECT_EQ(1, xUtilDelayFileDelete(second.c_str()));
    EXPECT_EQ(0, xUtilDelayMove(kDir.c_str()));
    EXPECT_NE(first, ShortPath(first)) << "the entries use 8.3 names";
    EXPECT_EQ("[Rename]\r\nC:\\NEW.TXT=C:\\OLD.TXT\r\nNUL=" + ShortPath(first) + "\r\nNUL=" + ShortPath(second) + "\r\n",
              testsupport::ReadFileBytes(wininit));
    EXPECT_TRUE(testsupport::PendingOperations().empty());
}

// Section lines of `total` bytes with their NULs, the length the system reports.
std::string SectionOf(size_t total)
{
    std::string text;
    for (int i = 1000; total - text.size() > 40; ++i)
        text += "k" + std::to_string(i) + "=" + std::string(13, 'v') + '\0';
    return text + "z=" + std::string(total - text.size() - 3, 'v') + '\0';
}

TEST(ReadSection, WholeSectionAroundTheGrowthStep)
{
    const std::string ini = MakeFile("big.ini");
    // 1022 is what a cut read of the first 1024-byte buffer reports.
    for (size_t total : {1021u, 1022u, 1023u, 3500u}) {
        const std::string lines = SectionOf(total);
        ASSERT_TRUE(WritePrivateProfileSectionA("S", (lines + '\0').c_str(), ini.c_str()));
        char* section = xUtilReadSection("S", ini.c_str());
        ASSERT_NE(nullptr, section);
        EXPECT_TRUE(lines == std::string(section, xUtilListSize(section) - 1)) << total;
        std::free(section);
    }
    char* missing = xUtilReadSection("none", ini.c_str());
    EXPECT_EQ(0, xUtilListCount(missing));
    std::free(missing);
}

TEST(FileSecurity, AppliesOnlyADescriptorWithAnAccessList)
{
    const std::string file = MakeFile("secured.txt");
    EXPECT_EQ(1, xUtilApplyFileSecurity("D:(A;;FA;;;WD)", file.c_str()));
    const std::pair<const char*, DWORD> cases[] = {
        {"not a descriptor", ERROR_INVALID_DATA},
        {"O:BA", ERROR_INVALID_DATA},  // no access list: never applied as a null one
    };
    for (const auto& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(0, xUtilApplyFileSecurity(c.first, file.c_str())) << c.first;
        EXPECT_EQ(c.second, GetLastError()) << c.first;
    }
    EXPECT_EQ(0, xUtilApplyFileSecurity("D:(A;;FA;;;WD)", (kDir + "\\missing.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
