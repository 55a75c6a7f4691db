// Classification of collected modem answers: priority, line ends, case.
#include "FinalResult.h"

#include <gtest/gtest.h>

#include <string>

TEST(FinalResult, FirstTextFoundInPriorityOrderWithItsLineEnd)
{
    using namespace std::string_literals;
    const struct
    {
        std::string answer;
        AttemptResult expected;
    } cases[] = {
        {"", kAttemptNone},
        {"ATI\r\r\nModel 56\r\n\r\nOK\r\n", kAttemptOk},
        {"\r\nNOK\r\n", kAttemptNok},  // also holds "OK\r\n"
        {"\r\nNOK", kAttemptNok},      // needs no line end
        {"\r\nOK\r\n\r\nERROR\r\n", kAttemptError},
        {"\r\nNO CARRIER\r\n\r\nOK\r\n", kAttemptNoCarrier},
        {"\r\nERROR\r\n\r\nNO CARRIER\r\n", kAttemptError},
        {"\r\nOK", kAttemptNone},
        {"\r\nOK\n\r", kAttemptNone},
        {"\r\nERROR\r", kAttemptNone},
        {"\r\nNO CARRIER", kAttemptNone},
        {"\r\nok\r\n", kAttemptNone},
        {"\0\r\nOK\r\n"s, kAttemptOk},  // a zero byte does not end the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ClassifyAnswer(c.answer)) << testing::PrintToString(c.answer);
}
