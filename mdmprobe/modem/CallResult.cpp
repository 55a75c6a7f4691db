#include "CallResult.h"

#include <limits>

namespace {

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const char* const kFinalCallResults[] = {"CONNECT ", "BUSY", "NO ANSWER", "NO CARRIER", "NO DIALTONE",
                                           "ERROR"};

}  // namespace

bool AnswerCheckPasses(const std::string& answer, const std::string& text, bool mustBePresent)
{
    return Contains(answer, text) == mustBePresent;
}

bool HasFinalCallResult(const std::string& received)
{
    for (const char* result : kFinalCallResults) {
        if (Contains(received, result))
            return true;
    }
    return false;
}

bool HasCallResultText(const std::string& received)
{
    for (const char c : received) {
        if (static_cast<unsigned char>(c) > ' ' && c != '\x7f')
            return true;
    }
    return false;
}

bool HoldsConnection(const std::string& received, const std::string& dialAnswer)
{
    return HasCallResultText(received) && (dialAnswer.empty() || Contains(received, dialAnswer));
}

unsigned ConnectSpeed(const std::string& received, size_t dialAnswerLength)
{
    constexpr unsigned kMax = std::numeric_limits<unsigned>::max();
    if (dialAnswerLength >= received.size())
        return 0;  // the place lies past the end (the guard also keeps + 3 from wrapping)
    unsigned speed = 0;
    // The place is counted from the start of the text, not from where the
    // dial answer text was found.
    for (size_t i = dialAnswerLength + 3; i < received.size(); ++i) {
        const char c = received[i];
        if (c < '0' || c > '9')
            break;  // a line feed, slash or blank ends the figure; any other non-digit too
        const unsigned digit = static_cast<unsigned>(c - '0');
        speed = speed > (kMax - digit) / 10 ? kMax : speed * 10 + digit;
    }
    return speed;
}

CallVerdict EvaluateCallResult(const std::string& received, const std::string& dialAnswer,
                               unsigned minSpeed)
{
    CallVerdict verdict;
    if (!HasCallResultText(received)) {
        verdict.answer = kDialTimeoutAnswer;
        return verdict;
    }
    if (dialAnswer.empty() || !Contains(received, dialAnswer)) {
        verdict.answer = received;
        verdict.passed = dialAnswer.empty();
        return verdict;
    }
    if (received.size() > 2) {
        const size_t lineFeed = received.find('\n', 2);
        verdict.answer = received.substr(2, lineFeed == std::string::npos ? std::string::npos
                                                                          : lineFeed - 2);
    }
    verdict.passed = ConnectSpeed(received, dialAnswer.size()) >= minSpeed;
    return verdict;
}

CallFacts DescribeCall(const std::string& received, const std::string& dialAnswer)
{
    CallFacts facts;
    size_t first = std::string::npos;
    for (const char* result : kFinalCallResults) {
        const size_t at = received.find(result);
        if (at < first) {
            first = at;
            facts.result = result;
            if (facts.result.back() == ' ')
                facts.result.pop_back();  // "CONNECT " is named without its blank
        }
    }
    if (!dialAnswer.empty() && Contains(received, dialAnswer)) {
        facts.speedRead = true;
        facts.speed = ConnectSpeed(received, dialAnswer.size());
    }
    return facts;
}
