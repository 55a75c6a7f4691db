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
#include <vector>

namespace {

const char kDir[] = "C:\\delay test";

std::string MakeFile(const char* name)
{
    CreateDirectoryA(kDir, nullptr);
    const std::string path = std::string(kDir) + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
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

// PendingFileRenameOperations as a list of its texts.
std::vector<std::string> PendingOperations()
{
    std::vector<std::string> texts;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return texts;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size()), type = 0;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
        for (DWORD at = 0; at < size;) {
            std::string text(&data[at]);
            texts.push_back(text);
            at += static_cast<DWORD>(text.size()) + 1;
        }
    }
    RegCloseKey(key);
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& t : texts) {
        if (t == text)
            return true;
    }
    return false;
}

TEST(DelayDelete, NtSchedulesPendingOperations)
{
    ASSERT_TRUE(xUtilIsWinNT()) << "runs with an NT version";
    const std::string file = MakeFile("doomed file.txt");
    EXPECT_NE(0, xUtilDelayFileDelete(file.c_str()));
    EXPECT_NE(0, xUtilDelayMove(kDir));
    const std::vector<std::string> pending = PendingOperations();
    EXPECT_TRUE(Contains(pending, "\\??\\" + file));
    EXPECT_TRUE(Contains(pending, std::string("\\??\\") + kDir));
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
    EXPECT_EQ(0, xUtilDelayMove(kDir));

    char* section = xUtilReadSection("Rename", wininit.c_str());
    ASSERT_NE(nullptr, section);
    ASSERT_EQ(3, xUtilListCount(section));
    EXPECT_STREQ("C:\\NEW.TXT=C:\\OLD.TXT", xUtilListEntry(section, 0));
    EXPECT_EQ("NUL=" + ShortPath(first), xUtilListEntry(section, 1));
    EXPECT_EQ("NUL=" + ShortPath(second), xUtilListEntry(section, 2));
    EXPECT_NE(first, ShortPath(first)) << "the entries use 8.3 names";
    std::free(section);
    EXPECT_TRUE(PendingOperations().empty());
}

// Section lines of `total` bytes including each line's NUL: what the system
// reports as the section's length.
std::string SectionOf(size_t total)
{
    std::string text;
    for (int i = 1000; total - text.size() > 40; ++i)
        text += "k" + std::to_string(i) + "=" + std::string(13, 'v') + '\0';
    return text + "z=" + std::string(total - text.size() - 3, 'v') + '\0';
}

TEST(ReadSection, WholeSectionAroundTheGrowthStep)
{
    const std::string ini = std::string(kDir) + "\\big.ini";
    CreateDirectoryA(kDir, nullptr);
    // 1022 is what a cut read of the first 1024-byte buffer reports.
    for (size_t total : {1021u, 1022u, 1023u, 2046u, 3500u}) {
        const std::string lines = SectionOf(total);
        ASSERT_TRUE(WritePrivateProfileSectionA("S", (lines + '\0').c_str(), ini.c_str()));
        char* section = xUtilReadSection("S", ini.c_str());
        ASSERT_NE(nullptr, section);
        EXPECT_EQ(lines, std::string(section, xUtilListSize(section) - 1)) << total;
        std::free(section);
    }
    char* missing = xUtilReadSection("none", ini.c_str());
    ASSERT_NE(nullptr, missing);
    EXPECT_EQ(0, xUtilListCount(missing));
    std::free(missing);
}

TEST(FileSecurity, AppliesOnlyADescriptorWithAnAccessList)
{
    const std::string file = MakeFile("secured.txt");
    EXPECT_EQ(1, xUtilApplyFileSecurity("D:(A;;FA;;;WD)", file.c_str()));
    struct Case { const char* text; const char* path; DWORD error; };
    const Case cases[] = {
        {"not a descriptor", file.c_str(), ERROR_INVALID_DATA},
        {"O:BA", file.c_str(), ERROR_INVALID_DATA},  // no access list: never a null one
        {"D:(A;;FA;;;WD)", "C:\\delay test\\missing.txt", ERROR_FILE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(0, xUtilApplyFileSecurity(c.text, c.path)) << c.text;
        EXPECT_EQ(c.error, GetLastError()) << c.text;
    }
}

}  // namespace
