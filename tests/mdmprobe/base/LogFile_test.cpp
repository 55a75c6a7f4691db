// The test log on disk, byte for byte: time prefixes, empty lines, CR LF,
// lines built from several writes, raw writes, formatted lines, file names.
#include "LogFile.h"
#include "LogFileTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <thread>
#include <unistd.h>

namespace {

TEST_F(LogFileTest, LinesGetOnePrefixEmptyLinesNoneAndEndInCrLf)
{
    {
        CLogFile log(path_);
        ASSERT_TRUE(log.IsOpen());
        log.Write("first line\nsecond");
        log.Write(" continues");
        log.Write("\n\n======================  TAPI  TEST  ======================\n"
                  "Result of TAPI-Test : Modem ");
        log.Write("NOT ").Write("found on TAPI.");
    }
    EXPECT_EQ("T - first line\r\n"
              "T - second continues\r\n"
              "\r\n"
              "T - ======================  TAPI  TEST  ======================\r\n"
              "T - Result of TAPI-Test : Modem NOT found on TAPI.",
              Normalized());
}

TEST_F(LogFileTest, EveryLineBreakReachesTheDiskAtOnce)
{
    CLogFile log(path_);
    log.Write("complete\nunfinished");
    // Still open: the complete line must already be on disk.
    EXPECT_EQ("T - complete\r\n", Normalized());
    log.WriteLine("");
    EXPECT_EQ("T - complete\r\nT - unfinished\r\n", Normalized());
}

TEST_F(LogFileTest, RawWritesKeepLineStateAndGetNoPrefix)
{
    {
        CLogFile log(path_);
        log.Write("Command : ");
        log.WriteRaw(std::string("AT\r\nX\0Y", 7));
        log.Write("\n");
        log.WriteRaw("raw\nline");  // at line start: still no prefix
        log.Write("text\n");
    }
    // Line feeds inside raw text become CR LF like any text-mode output.
    EXPECT_EQ("T - Command : AT\r\r\nX.Y\r\nraw\r\nlineT - text\r\n", Normalized());
}

// A modem's NUL, control and DEL bytes never reach the file, nor cut a line
// short: each becomes a '.', through every kind of write. TAB, a lone CR and
// 8-bit characters are text and stay.
TEST_F(LogFileTest, BytesTheLogCannotHoldBecomeDots)
{
    {
        CLogFile log(path_);
        log.Write(std::string("Detected modem      : VX\0\x01\x1b\x7f (COM3)\n", 36));
        log.Write(std::string("Answ. : \r\0\nOK\r\n", 15));
        log.WriteRaw(std::string("raw\0\x02\tend", 9));
        log.WriteLine("line\x07\xe9\xff");
        log.WriteFormat("%s", "fmt\x1f");
    }
    EXPECT_EQ("T - Detected modem      : VX.... (COM3)\r\n"
              "T - Answ. : \r.\r\n"
              "T - OK\r\r\n"
              "raw..\tendT - line.\xe9\xff\r\n"
              "T - fmt.\r\n",
              Normalized());
}

TEST_F(LogFileTest, WriteLineTakesTextUnchangedAndEndsTheLine)
{
    {
        CLogFile log(path_);
        log.Write("a");
        log.WriteLine("b\nc");
        log.WriteLine("d");
        log.WriteFormat("%s=%d", "key", 42);
    }
    EXPECT_EQ("T - ab\r\nc\r\nT - d\r\nT - key=42\r\n", Normalized());
}

// A text that needs a line of its own ends an unfinished line first, but
// adds no empty line after a finished one.
TEST_F(LogFileTest, OwnLineEndsOnlyAnUnfinishedLine)
{
    {
        CLogFile log(path_);
        log.Write("Program canceled");
        log.WriteOnNewLine("first\n");
        log.WriteOnNewLine("second\n");
        log.WriteRaw("raw");  // raw text leaves the line state as it was
        log.WriteOnNewLine("third");
    }
    EXPECT_EQ("T - Program canceled\r\nT - first\r\nT - second\r\nrawT - third", Normalized());
}

TEST_F(LogFileTest, FormattedLineIsCutAt1023Characters)
{
    std::string longText(1500, 'x');
    {
        CLogFile log(path_);
        log.WriteFormat("%s", longText.c_str());
    }
    EXPECT_EQ("T - " + std::string(1023, 'x') + "\r\n", Normalized());
}

TEST_F(LogFileTest, ANewRunEmptiesTheOldLog)
{
    {
        CLogFile log(path_);
        log.Write("old run with a long text\n");
    }
    {
        CLogFile log(path_);
        log.Write("new\n");
    }
    EXPECT_EQ("T - new\r\n", Normalized());
}

TEST_F(LogFileTest, NamesUpTo259CharactersAreUsedLongerOnesRefused)
{
    std::string base = dir_ + "/";
    std::string name259 = base + std::string(259 - base.size() - 4, 'n') + ".log";
    ASSERT_EQ(259u, name259.size());
    {
        CLogFile log(name259);
        EXPECT_TRUE(log.IsOpen());
        EXPECT_EQ(name259, log.GetPath());
        log.Write("kept\n");
    }
    EXPECT_EQ(0, access(name259.c_str(), F_OK));

    std::string name260 = base + std::string(260 - base.size() - 4, 'm') + ".log";
    ASSERT_EQ(260u, name260.size());
    CLogFile log(name260);
    EXPECT_FALSE(log.IsOpen());
    EXPECT_STREQ("", log.GetPath());
    log.Write("lost\n").WriteLine("lost").WriteRaw("lost");  // usable, writes nothing
    EXPECT_NE(0, access(name260.c_str(), F_OK));
    std::string cut = name260.substr(0, 259);
    EXPECT_NE(0, access(cut.c_str(), F_OK)) << "a cut-off name must not be created";
}

TEST_F(LogFileTest, UnopenableFileLosesWritesSilently)
{
    CLogFile log(dir_ + "/missing/dir/x.log");
    EXPECT_FALSE(log.IsOpen());
    log.Write("nothing\n").WriteFormat("%d", 1);
    EXPECT_EQ(dir_ + "/missing/dir/x.log", log.GetPath());
}

TEST_F(LogFileTest, DefaultNameIsTheProgramWithLogExtension)
{
    // The host test program has no ".exe": its last four characters give way
    // to ".log", exactly as "C:\Tools\probe.exe" becomes "C:\Tools\probe.log".
    char self[4096] = "";
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    ASSERT_GT(n, 4);
    std::string expected = std::string(self, n - 4) + ".log";
    {
        CLogFile log("");
        EXPECT_EQ(expected, log.GetPath());
    }
    unlink(expected.c_str());
}

TEST_F(LogFileTest, ConcurrentWritersNeverSplitEachOthersText)
{
    {
        CLogFile log(path_);
        std::atomic<bool> go{false};
        auto writer = [&](char c) {
            while (!go) {
            }
            std::string piece(40, c);
            for (int i = 0; i < 300; ++i)
                log.Write("\n" + piece + piece);
        };
        std::thread a(writer, 'a'), b(writer, 'b');
        go = true;
        a.join();
        b.join();
    }
    std::istringstream lines(Normalized());
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();  // the last line stays unfinished
        if (line.empty())
            continue;
        ++count;
        ASSERT_TRUE(line == "T - " + std::string(80, 'a') || line == "T - " + std::string(80, 'b'))
            << line;
    }
    EXPECT_EQ(600, count);
}

}  // namespace
