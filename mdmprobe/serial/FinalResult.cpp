#include "FinalResult.h"

AttemptResult ClassifyAnswer(const std::string& answer)
{
    // The order matters: the first text found decides.
    static const struct
    {
        const char* text;
        AttemptResult result;
    } kFinalTexts[] = {
        {"NOK", kAttemptNok},
        {"ERROR\r\n", kAttemptError},
        {"NO CARRIER\r\n", kAttemptNoCarrier},
        {"OK\r\n", kAttemptOk},
    };
    for (const auto& entry : kFinalTexts) {
        if (answer.find(entry.text) != std::string::npos)
            return entry.result;
    }
    return kAttemptNone;
}

const char* FinalResultName(AttemptResult result)
{
    switch (result) {
    case kAttemptNok: return "NOK";
    case kAttemptNoCarrier: return "NO CARRIER";
    case kAttemptError: return "ERROR";
    case kAttemptOk: return "OK";
    case kAttemptNone: break;
    }
    return "";
}
