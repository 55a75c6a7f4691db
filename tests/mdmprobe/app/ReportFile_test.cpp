// Writing the result report under Wine: the file appears whole or not at
// all, an older one is replaced whole, and every way of failing leaves no
// temporary file behind and says why. Also the clock and the machine's name.
#include "ReportFile.h"

#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <set>
#include <string>

namespace {

class ReportFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = testsupport::RunDir() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    }

    std::string Path(const char* name) const { return dir_ + "\\" + name; }

    // The names in the test's folder.
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                names.insert(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

    std::string dir_;
};

TEST_F(ReportFileTest, NewFileHoldsTheTextExactly)
{
    const std::string text = "{\n  \"schema\": 1\n}\n" + std::string(100000, ' ');
    ASSERT_EQ(0u, WriteFileWhole(Path("run.json"), text));
    EXPECT_EQ(text, testsupport::ReadFileBytes(Path("run.json")));  // no CR added, nothing cut
    EXPECT_EQ(std::set<std::string>{"run.json"}, Names());
}

TEST_F(ReportFileTest, OlderReportIsReplacedWhole)
{
    ASSERT_EQ(0u, WriteFileWhole(Path("run.json"), std::string(5000, 'o')));
    ASSERT_EQ(0u, WriteFileWhole(Path("run.json"), "new"));
    EXPECT_EQ("new", testsupport::ReadFileBytes(Path("run.json")));
    EXPECT_EQ(std::set<std::string>{"run.json"}, Names());
}

TEST_F(ReportFileTest, FailuresNameTheirErrorAndLeaveNothing)
{
    // The folder does not exist.
    SetLastError(0xdeadbeef);
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIRECTORY), WriteFileWhole(Path("missing\\run.json"), "x"));
    // The name is a folder: the temporary file is written, the rename fails.
    ASSERT_TRUE(CreateDirectoryA(Path("taken").c_str(), nullptr));
    EXPECT_NE(0u, WriteFileWhole(Path("taken"), "x"));
    // A file in use by a reader that shares nothing cannot be replaced.
    ASSERT_EQ(0u, WriteFileWhole(Path("locked.json"), "old"));
    HANDLE locked = CreateFileA(Path("locked.json").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    EXPECT_NE(0u, WriteFileWhole(Path("locked.json"), "new"));
    CloseHandle(locked);
    EXPECT_EQ("old", testsupport::ReadFileBytes(Path("locked.json")));
    // Names that the writer refuses before touching the disk.
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), WriteFileWhole("run.json", "x"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), WriteFileWhole(dir_ + "\\", "x"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE),
              WriteFileWhole(dir_ + "\\" + std::string(MAX_PATH, 'x'), "x"));

    EXPECT_EQ((std::set<std::string>{"locked.json", "taken"}), Names()) << "no temporary file is left";
}

TEST(ReportClock, LocalTimeWithOffsetAndComputerName)
{
    SYSTEMTIME before;
    GetLocalTime(&before);
    const std::string now = LocalIsoTimeNow();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(now, parts,
                                 std::regex("([0-9]{4})-([0-9]{2})-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}[+-][0-9]{2}:[0-9]{2}")))
        << now;
    EXPECT_EQ(before.wYear, std::stoi(parts[1]));
    EXPECT_EQ(before.wMonth, std::stoi(parts[2]));
    EXPECT_FALSE(ComputerName().empty());
}

}  // namespace
