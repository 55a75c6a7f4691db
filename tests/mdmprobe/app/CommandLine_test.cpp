// The command-line grammar: which switches count, where values end, and how
// a command line without a usable switch is refused.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, EmptyMeansInteractive)
{
    CommandLineOptions o = ParseCommandLine("");
    EXPECT_EQ(StartMode::Interactive, o.mode);
    EXPECT_EQ("", o.port);
    EXPECT_FALSE(o.noDialTone);
}

TEST(CommandLine, TextWithoutPortNumberOrLogSwitchIsRefused)
{
    for (const char* line : {"/NODIALTONE", "/nodialtone", "hello", "/X:1", "P:COM1", "/Q /R",
                             " ", "/p", "/P COM1"}) {
        SCOPED_TRACE(line);
        CommandLineOptions o = ParseCommandLine(line);
        EXPECT_EQ(StartMode::BadCommandLine, o.mode);
        EXPECT_EQ("", o.port);
        EXPECT_EQ("", o.logName);
    }
}

TEST(CommandLine, PortAloneStartsAutomaticModeWithoutNumber)
{
    CommandLineOptions o = ParseCommandLine("/P:COM2");
    EXPECT_EQ(StartMode::Automatic, o.mode);
    EXPECT_EQ("COM2", o.port);
    EXPECT_EQ("", o.phoneNumber);
    EXPECT_EQ("", o.logName);
    EXPECT_FALSE(o.noDialTone);
}

TEST(CommandLine, ValuesEndAtBlankOrSlashOrEnd)
{
    EXPECT_EQ("0123", ParseCommandLine("/T:0123 456").phoneNumber);
    EXPECT_EQ("C:", ParseCommandLine("/L:C:/temp/x.log").logName);
    EXPECT_EQ("C:\\temp\\x.log", ParseCommandLine("/L:C:\\temp\\x.log").logName);
    CommandLineOptions o = ParseCommandLine("/P:COM3/T:555/L:a.log");
    EXPECT_EQ("COM3", o.port);
    EXPECT_EQ("555", o.phoneNumber);
    EXPECT_EQ("a.log", o.logName);
    EXPECT_EQ("", ParseCommandLine("/P: COM1").port);   // a blank right after the switch
    EXPECT_EQ("", ParseCommandLine("/T:").phoneNumber);  // switch at the very end
}

TEST(CommandLine, UpperCaseSwitchWinsAndOnlyFirstOccurrenceCounts)
{
    EXPECT_EQ("COM3", ParseCommandLine("/p:COM1 /P:COM3").port);
    EXPECT_EQ("COM1", ParseCommandLine("/p:COM1 /p:COM3").port);
    EXPECT_EQ("COM5", ParseCommandLine("/P:COM5 /P:COM6").port);
    EXPECT_EQ("77", ParseCommandLine("/t:88 /T:77").phoneNumber);
    EXPECT_EQ("b.log", ParseCommandLine("/l:a.log /L:b.log").logName);
}

TEST(CommandLine, NoDialToneOnlyInItsTwoSpellings)
{
    EXPECT_TRUE(ParseCommandLine("/P:COM1 /NODIALTONE").noDialTone);
    EXPECT_TRUE(ParseCommandLine("/nodialtone /T:1").noDialTone);
    EXPECT_TRUE(ParseCommandLine("/T:1/NODIALTONE").noDialTone);
    EXPECT_FALSE(ParseCommandLine("/P:COM1 /NoDialTone").noDialTone);
    EXPECT_FALSE(ParseCommandLine("/P:COM1 /NODIALTON").noDialTone);
}

TEST(CommandLine, QuotesStayAndUnknownTextIsIgnored)
{
    CommandLineOptions o = ParseCommandLine("junk \"/L:my log.txt\" /Z:9 /P:COM1");
    EXPECT_EQ(StartMode::Automatic, o.mode);
    EXPECT_EQ("my", o.logName);
    EXPECT_EQ("COM1", o.port);
    EXPECT_EQ("\"COM1\"", ParseCommandLine("/P:\"COM1\"").port);
}

// "/R:" adds the report and follows the value rules of the other switches,
// but does not make the run automatic: without a port, number or log switch
// the run is interactive, whatever else stands there.
TEST(CommandLine, ReportSwitchAddsTheReportToEitherMode)
{
    CommandLineOptions o = ParseCommandLine("/R:C:\\out\\run.json");
    EXPECT_EQ(StartMode::Interactive, o.mode);
    EXPECT_TRUE(o.report);
    EXPECT_EQ("C:\\out\\run.json", o.reportName);
    for (const char* line : {"/r:x.json", "/R:", "/R:x /NODIALTONE", "junk /R:x"}) {
        SCOPED_TRACE(line);
        o = ParseCommandLine(line);
        EXPECT_EQ(StartMode::Interactive, o.mode);
        EXPECT_TRUE(o.report);
        EXPECT_EQ("", o.port);
    }
    EXPECT_EQ("", ParseCommandLine("/R: x").reportName);  // given, but empty

    o = ParseCommandLine("/P:COM3 /r:a.json /T:5/R:b.json");
    EXPECT_EQ(StartMode::Automatic, o.mode);
    EXPECT_EQ("b.json", o.reportName);  // the upper-case switch wins, its value ends at "/"
    EXPECT_EQ("COM3", o.port);
    EXPECT_EQ("5", o.phoneNumber);

    for (const char* line : {"", "/P:COM1", "/R", "/Q /R", "/NODIALTONE"})
        EXPECT_FALSE(ParseCommandLine(line).report) << line;
    EXPECT_EQ(StartMode::BadCommandLine, ParseCommandLine("/R /NODIALTONE").mode);
}

}  // namespace
