// The test call: dial, wait for the call result, check the connect speed,
// hold the line for a while and hang up. Runs on the test runner's thread,
// the only user of the port at that time.
#pragma once

#include "Serial.h"

#include <atomic>
#include <cstdint>
#include <string>

// 1. Waits 500 ms and discards pending input; sends `dialCommand` (echo
//    checked, with its CR; the call result is not awaited by the request).
// 2. Polls every 250 ms for up to 240 polls (about one minute) and collects
//    what arrives until a final call result (HasFinalCallResult) is there.
//    A set `cancel` ends the wait before the next poll.
// 3. When there is a result and `dialAnswer` is empty or occurs in it, holds
//    the line for `connectTimeMs` (a negative time: no hold; a set `cancel`
//    ends the hold within 50 ms) and collects what arrived meanwhile.
// 4. Judges the collected text with EvaluateCallResult (speed figure against
//    `minSpeed`) and puts the verdict's answer into `answer`: "TimeOut !"
//    when no printable byte arrived.
// 5. Hangs up, whatever the outcome: "+++" (no echo check, no CR, 2 s for the
//    modem's OK), "ATH" (no echo check), then a 20 ms DTR pulse. Once the
//    dial command's CR was written (CSerial::LineEndSent, whatever the
//    request returned) the two requests ignore `cancel`, so a stopped call is
//    still released; otherwise they do not go out once it is set.
// True when the call passed. With no port or a closed one: false at once,
// nothing sent, `answer` and `received` untouched. `received`, when given,
// gets everything collected from dialling to the end of the hold (the text
// the verdict judged; CallResult.h describes it).
bool RunDialTest(std::string& answer, const std::atomic<bool>* cancel, CSerial* serial,
                 const std::string& dialCommand, const std::string& dialAnswer, unsigned minSpeed,
                 int32_t connectTimeMs, std::string* received = nullptr);
