// Whole-file reads, on the host and (through the Win32 file functions)
// under Wine: every byte as stored, across read chunks, and the failures.
#include "FileText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string TempPath(const char* name)
{
    return testing::TempDir() + name;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(FileText, EveryByteAsStoredAcrossChunks)
{
    // Line ends of both kinds, a NUL byte, bytes above 127, no final line
    // end; then a file of several read chunks whose bytes all differ from
    // their neighbours, so a lost or repeated chunk shows.
    static const char kSmall[] = "[Common]\r\nDiagCmd=AT*DIAG\nA\0B\xE4\xFF";
    const std::string small = std::string(kSmall, sizeof(kSmall) - 1) + "end";
    std::string large;
    for (int i = 0; i < 70001; ++i)
        large += static_cast<char>('a' + i % 23);
    for (const std::string& bytes : {small, large, std::string()}) {
        const std::string path = TempPath("filetext.bin");
        WriteBytes(path, bytes);
        std::string text = "left over";
        ASSERT_TRUE(ReadFileText(path, text)) << bytes.size();
        EXPECT_EQ(bytes.size(), text.size());
        EXPECT_TRUE(text == bytes) << bytes.size();
        std::remove(path.c_str());
    }
}

TEST(FileText, MissingFileOrFolderFailsWithNothingRead)
{
    std::string text = "left over";
    EXPECT_FALSE(ReadFileText(TempPath("no-such-file.ini"), text));
    EXPECT_EQ("", text);
    text = "left over";
    EXPECT_FALSE(ReadFileText(testing::TempDir(), text));
    EXPECT_EQ("", text);
}

#ifdef _WIN32
TEST(FileText, FileOpenForWritingElsewhereIsRead)
{
    // A definition file an editor keeps open must still be read.
    const std::string path = TempPath("filetext-open.ini");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, "[VX-56i]\r\n", 10, &written, nullptr));
    std::string text;
    EXPECT_TRUE(ReadFileText(path, text));
    EXPECT_EQ("[VX-56i]\r\n", text);
    CloseHandle(writer);
    DeleteFileA(path.c_str());
}
#endif

}  // namespace
