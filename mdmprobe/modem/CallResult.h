// The rules that judge a modem's answers: the command-answer checks (memory
// and stored checksum) and the result of a test call. Plain byte strings in,
// no Windows types: builds and is tested on the host. All text tests are
// case-sensitive substring searches on the raw bytes.
#pragma once

#include <string>

// The answer handed back for a test call that brought nothing to evaluate.
constexpr const char kDialTimeoutAnswer[] = "TimeOut !";

// A command-answer check: true when `text` occurring in `answer` is what
// `mustBePresent` asks for. An empty text always occurs.
bool AnswerCheckPasses(const std::string& answer, const std::string& text, bool mustBePresent);

// True when `received` holds a final call result that ends the wait after
// dialling: "CONNECT " (with its blank), "BUSY", "NO ANSWER" (the far end did
// not pick up), "NO CARRIER", "NO DIALTONE" or "ERROR".
bool HasFinalCallResult(const std::string& received);

// True when `received` holds anything to evaluate: at least one byte that is
// neither a control character nor a blank. A wait that collected only line
// ends (or nothing) ends the call with kDialTimeoutAnswer; any text that
// arrived, also one that is not a final call result, is evaluated.
bool HasCallResultText(const std::string& received);

// True when the connection is held for the connect time before hanging up:
// there is text to evaluate and the dial answer text is empty or occurs in it.
bool HoldsConnection(const std::string& received, const std::string& dialAnswer);

// The connect speed at its fixed place: from index `dialAnswerLength` + 3 of
// `received` (CR LF, the dial answer text and one separator come first) up to
// the first line feed, slash or blank, taken as a decimal number. Only the
// leading digits count; none, or a text too short to reach the place, give 0.
// A figure beyond the range of unsigned is cut to its largest value.
unsigned ConnectSpeed(const std::string& received, size_t dialAnswerLength);

struct CallVerdict
{
    bool passed = false;
    std::string answer;  // what the caller shows and logs as the modem's answer
};

// Judges everything collected from dialling to the end of the hold:
// - nothing to evaluate (see HasCallResultText): failed, kDialTimeoutAnswer;
// - dial answer text empty or absent: the collected text as the answer,
//   passed only when the dial answer text is empty;
// - dial answer text present: the answer is the collected text from index 2
//   (after the leading CR LF) up to, not including, the next line feed; passed
//   when ConnectSpeed is at least `minSpeed`.
CallVerdict EvaluateCallResult(const std::string& received, const std::string& dialAnswer,
                               unsigned minSpeed);

// What a collector needs to know about a test call, from everything
// collected after dialling.
struct CallFacts
{
    std::string result;  // the final call result that comes first ("CONNECT", "BUSY", ...); empty: none
    bool speedRead = false;        // the dial answer text was there, so the speed was read ...
    unsigned speed = 0;            // ... at its fixed place (ConnectSpeed)
};

// `dialAnswer` empty: the speed is not read (nothing to check it against).
CallFacts DescribeCall(const std::string& received, const std::string& dialAnswer);
