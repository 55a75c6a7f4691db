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

    {
        CLogFile log(path_);
        WriteLogHeader(log, "01/02/2027", true, "/P:COM2 /L:x.log");
        WriteCancelLine(log);
    }
    EXPECT_EQ(banner + "T - = Modem Installationtest - LOGFILE 01/02/2027 =\r\n" + banner +
                  "T - PRG-Mode            : Program started on command line\r\n"
                  "T -                        -> Automatic mode ON.\r\n"
                  "T - Command Line        : /P:COM2 /L:x.logPRG-Message         : Program "
                  "canceled by user !",
              Normalized());
}

TEST_F(LogHeaderTest, TodayIsMonthDayYear)
{
    EXPECT_TRUE(std::regex_match(TodayText(), std::regex("[01][0-9]/[0-3][0-9]/20[0-9][0-9]")))
        << TodayText();
}

}  // namespace
