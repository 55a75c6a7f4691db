// The memory and stored-checksum tests: one command each, judged by whether
// a text occurs in the modem's answer. Runs on the test runner's thread, the
// only user of the port at that time.
#pragma once

#include "Serial.h"

#include <atomic>
#include <string>

// Waits 500 ms and discards pending input, sends `command` (echo checked,
// scroll CRs while the modem is silent, 10 s for the answer, one attempt)
// and hands the collected answer back in `answer` (empty when the request
// ended early, e.g. on `cancel`). True when `text` occurring in the answer is
// what `mustBePresent` asks for; an empty text always occurs. With no port or
// a closed one: false at once, nothing sent, `answer` untouched.
bool CheckCommandAnswer(std::string& answer, const std::atomic<bool>* cancel, CSerial* serial,
                        const std::string& command, const std::string& text, bool mustBePresent);
