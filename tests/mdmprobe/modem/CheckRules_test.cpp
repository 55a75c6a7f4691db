// The rules behind the modem checks, on plain strings: matching an installed
// modem's name, the command-answer checks, and judging a test call's result.
#include "CallResult.h"
#include "InstalledModemName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CheckRules, InstalledModelMatches)
{
    struct Case { const char* model; const char* name; bool matches; };
    const Case cases[] = {
        {"Model 56   ", "Model 56", true},     // trailing blanks of the model do not count
        {" Model 56", "Model 56", false},      // leading ones do
        {"model 56", "Model 56", false},       // case-sensitive
        {"Model 56k USB", "?Model 56", true},  // the marker allows a match inside
        {"Model 56k USB", "Model 56", false},
        {"Model 56", "?", true},               // the marker alone matches any model ...
        {"   ", "?", false},                   // ... but not an empty one
        {"Model 56", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, InstalledModelMatches(c.model, c.name)) << c.model << "|" << c.name;
}

TEST(CheckRules, AnswerChecksAndFinalCallResults)
{
    EXPECT_TRUE(AnswerCheckPasses("\r\nRAM OK\r\n", "RAM ERROR", false));
    EXPECT_FALSE(AnswerCheckPasses("\r\nRAM OK\r\n", "", false));  // an empty text always occurs
    EXPECT_TRUE(AnswerCheckPasses("", "", true));
    for (const char* text : {"\r\nCONNECT 2400", "BUSY", "\r\nNO ANSWER\r\n", "NO CARRIER", "NO DIALTONE", "ERROR"})
        EXPECT_TRUE(HasFinalCallResult(text)) << text;
    for (const char* text : {"\r\nCONNECT\r\n", "\r\nconnect 2400", "\r\nno answer\r\n", "OK\r\n"})
        EXPECT_FALSE(HasFinalCallResult(text)) << text;
}

TEST(CheckRules, CallEvaluation)
{
    struct Case
    {
        std::string received;
        const char* dialAnswer;
        unsigned minSpeed;
        bool passed;
        std::string answer;
    };
    const std::string connect = "\r\nCONNECT 28800/V42\r\n";
    const Case cases[] = {
        {connect, "CONNECT", 28800, true, "CONNECT 28800/V42\r"},  // equal to the minimum
        {connect, "CONNECT", 28801, false, "CONNECT 28800/V42\r"},
        {"\r\nCONNECT 9600 V42\r\n", "CONNECT", 9600, true, "CONNECT 9600 V42\r"},
        {"\r\nCONNECT -5\r\n", "CONNECT", 1, false, "CONNECT -5\r"},
        {"CONNECT 28800\r\n", "CONNECT", 28800, false, "NNECT 28800\r"},  // fixed place: 800
        // Too short to reach the figure's place: 0, nothing read past the end.
        {"\r\nCONNECT", "CONNECT", 1, false, "CONNECT"},
        {"C", "C", 0, true, ""},
        {"\r\nBUSY\r\n", "CONNECT", 0, false, "\r\nBUSY\r\n"},
        {"\r\nNO CARRIER\r\n", "", 99999, true, "\r\nNO CARRIER\r\n"},  // no speed check
        // Only line ends, or nothing: time-out. Any text that came is judged.
        {"", "", 0, false, "TimeOut !"},
        {"\r\n\r\n \t", "", 0, false, "TimeOut !"},
        {"\r\nNO ANSWER\r\n", "", 0, true, "\r\nNO ANSWER\r\n"},
    };
    for (const Case& c : cases) {
        const CallVerdict verdict = EvaluateCallResult(c.received, c.dialAnswer, c.minSpeed);
        EXPECT_EQ(c.passed, verdict.passed) << testing::PrintToString(c.received);
        EXPECT_EQ(c.answer, verdict.answer) << testing::PrintToString(c.received);
    }
    EXPECT_TRUE(HoldsConnection(connect, "CONNECT"));
    EXPECT_FALSE(HoldsConnection("\r\nBUSY\r\n", "CONNECT"));
    EXPECT_FALSE(HoldsConnection("\r\n", ""));
}

// What the result report tells of a call: the first final result by place
// in the text (not by the order of the list), and the speed only when the
// connect answer is there to read it from.
TEST(CheckRules, CallFacts)
{
    struct Case
    {
        std::string received;
        const char* dialAnswer;
        const char* result;
        bool speedRead;
        unsigned speed;
    };
    const Case cases[] = {
        {"\r\nCONNECT 33600/V42\r\n", "CONNECT", "CONNECT", true, 33600},
        {"\r\nBUSY\r\n", "CONNECT", "BUSY", false, 0},
        {"\r\nNO ANSWER\r\n", "CONNECT", "NO ANSWER", false, 0},
        {"\r\nNO CARRIER\r\n\r\nERROR\r\n", "CONNECT", "NO CARRIER", false, 0},
        {"\r\nERROR\r\n\r\nNO DIALTONE\r\n", "CONNECT", "ERROR", false, 0},
        {"\r\nNO DIALTONE\r\n", "", "NO DIALTONE", false, 0},  // nothing to read a speed against
        {"\r\nCONNECT 9600\r\n", "", "CONNECT", false, 0},
        {"\r\nCONNECT\r\n", "CONNECT", "", true, 0},  // no blank: no final result, figure 0
        {"", "CONNECT", "", false, 0},
        {"\r\nCARRIER 2400\r\nCONNECT 2400\r\n", "CARRIER", "CONNECT", true, 2400},
    };
    for (const Case& c : cases) {
        const CallFacts facts = DescribeCall(c.received, c.dialAnswer);
        EXPECT_EQ(c.result, facts.result) << testing::PrintToString(c.received);
        EXPECT_EQ(c.speedRead, facts.speedRead) << testing::PrintToString(c.received);
        EXPECT_EQ(c.speed, facts.speed) << testing::PrintToString(c.received);
    }
}

}  // namespace
