#include "AnswerCheck.h"

#include "CallResult.h"

namespace {

constexpr DWORD kSettleMs = 500;         // pause before the purge: late bytes arrive and go
constexpr DWORD kAnswerLimitMs = 10000;  // time the modem has for its answer

}  // namespace

bool CheckCommandAnswer(std::string& answer, const std::atomic<bool>* cancel, CSerial* serial,
                        const std::string& command, const std::string& text, bool mustBePresent)
{
    if (!serial || !serial->IsOpen())
        return false;
    serial->PurgeInput(kSettleMs);
    // The request's own verdict (OK or not) does not matter, only its text.
    std::string collected;
    serial->Request(command, &collected, REQ_SCROLL, cancel, kAnswerLimitMs, 0);
    answer = collected;
    return AnswerCheckPasses(answer, text, mustBePresent);
}
