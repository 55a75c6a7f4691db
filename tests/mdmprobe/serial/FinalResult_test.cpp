// Classification of collected modem answers: order of the tests, line ends,
// bytes around and inside the result texts.
#include "FinalResult.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FinalResult, ClassifiesByTheFirstTextFoundInPriorityOrder)
{
    using namespace std::string_literals;
    const struct
    {
        std::string answer;
        AttemptResult expected;
    } cases[] = {
        {"", kAttemptNone},
        {"\r\nOK\r\n", kAttemptOk},
        {"ATI\r\r\nModel 56\r\n\r\nOK\r\n", kAttemptOk},
        {"\r\nERROR\r\n", kAttemptError},
        {"\r\nNO CARRIER\r\n", kAttemptNoCarrier},
        {"\r\nNOK\r\n", kAttemptNok},        // also holds "OK\r\n"
        {"\r\nNOK", kAttemptNok},            // needs no line end
        {"\r\nOK\r\n\r\nNOK\r\n", kAttemptNok},
        {"\r\nOK\r\n\r\nERROR\r\n", kAttemptError},
        {"\r\nNO CARRIER\r\n\r\nOK\r\n", kAttemptNoCarrier},
        {"\r\nERROR\r\n\r\nNO CARRIER\r\n", kAttemptError},
        // A result is only final with its CR LF.
        {"\r\nOK", kAttemptNone},
        {"\r\nOK\r", kAttemptNone},
        {"\r\nOK\n\r", kAttemptNone},
        {"\r\nERROR\r", kAttemptNone},
        {"\r\nNO CARRIER", kAttemptNone},
        // Case-sensitive; embedded zero bytes do not end the search.
        {"\r\nok\r\n", kAttemptNone},
        {"\r\nNok\r\n", kAttemptNone},
        {"\0garbage\0\r\nOK\r\n"s, kAttemptOk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.answer));
        EXPECT_EQ(c.expected, ClassifyAnswer(c.answer));
    }
}

}  // namespace
