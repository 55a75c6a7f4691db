// The text at the top of every test log and the cancel line, on disk.
#include "LogFile.h"
#include "LogFileTest.h"
#include "LogHeader.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using LogHeaderTest = LogFileTest;

TEST_F(LogHeaderTest, HeaderInBothModesAndCancelLine)
{
    {
        CLogFile log(path_);
        WriteLogHeader(log, "12/07/2026", false, "");
        WriteCancelLine(log);
    }
    const std::string banner = "T - " + std::string(58, '=') + "\r\n";
    EXPECT_EQ(banner + "T - = Modem Installationtest - LOGFILE 12/07/2026 =\r\n" + banner +
                  "T - PRG-Message         : Program canceled by user !",
              Normalized());

    const std::string automatic = banner + "T - = Modem Installationtest - LOGFILE 01/02/2027 =\r\n" + banner +
                                  "T - PRG-Mode            : Program started on command line\r\n"
                                  "T -                        -> Automatic mode ON.\r\n"
                                  "T - Command Line        : /P:COM2 /L:x.log";
    {
        CLogFile log(path_);
        WriteLogHeader(log, "01/02/2027", true, "/P:COM2 /L:x.log");
        WriteCancelLine(log);
    }
    EXPECT_EQ(automatic + "\r\nT - PRG-Message         : Program canceled by user !", Normalized());
}

// The command line's line is ended by whatever comes next: by the line feed
// a normal run's next text begins with (so its log stays as it always was),
// else before that text, whichever way it is written.
TEST_F(LogHeaderTest, TextAfterTheCommandLineStartsItsOwnLine)
{
    const std::string commandLine = "T - Command Line        : /P:COM5 /L:run.log\r\n";
    const std::string missing = "ModemCmds & Answers : ModemReadName2 not in Common section of INI !\n";
    const struct
    {
        void (*write)(CLogFile&, const std::string&);
        std::string text, expected;
    } cases[] = {
        {[](CLogFile& log, const std::string& t) { log.Write(t); }, "\n\nSCAN\n", "\r\nT - SCAN\r\nT - next"},
        {[](CLogFile& log, const std::string& t) { log.Write(t); }, missing,
         "T - ModemCmds & Answers : ModemReadName2 not in Common section of INI !\r\nT - next"},
        {[](CLogFile& log, const std::string& t) { log.WriteLine(t.c_str()); }, "line", "T - line\r\nT - next"},
        {[](CLogFile& log, const std::string& t) { log.WriteRaw(t); }, "raw", "rawT - next"},
    };
    for (const auto& c : cases) {
        {
            CLogFile log(path_);
            WriteLogHeader(log, "01/02/2027", true, "/P:COM5 /L:run.log");
            c.write(log, c.text);
            log.Write("next");
        }
        const std::string text = Normalized();
        const size_t at = text.find("T - Command Line");
        ASSERT_NE(std::string::npos, at) << text;
        EXPECT_EQ(commandLine + c.expected, text.substr(at))
            << c.text;
    }
}

TEST_F(LogHeaderTest, TodayIsMonthDayYear)
{
    EXPECT_TRUE(std::regex_match(TodayText(), std::regex("[01][0-9]/[0-3][0-9]/20[0-9][0-9]")))
        << TodayText();
}

}  // namespace
