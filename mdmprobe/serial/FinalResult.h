// The modem's final result in a collected answer, as CSerial::Request decides
// it. Plain bytes in, no Windows types: builds and is tested on the host.
#pragma once

#include <string>

// Result of one attempt of a command request. The values appear in the
// request's trace ("Result: Error %d").
enum AttemptResult : int
{
    kAttemptNok = -3,        // "NOK" anywhere, with or without a line end
    kAttemptNoCarrier = -2,  // "NO CARRIER\r\n"
    kAttemptError = -1,      // "ERROR\r\n"
    kAttemptNone = 0,        // no final result (yet)
    kAttemptOk = 1,          // "OK\r\n"
};

// Classifies the whole answer collected so far by case-sensitive substring
// search, in this order: NOK, ERROR, NO CARRIER, OK. NOK is tested first
// because "NOK\r\n" also contains "OK\r\n". Embedded zero bytes are searched
// past like any other byte.
AttemptResult ClassifyAnswer(const std::string& answer);

// "NOK", "ERROR", "NO CARRIER", "OK", or "" for kAttemptNone.
const char* FinalResultName(AttemptResult result);
