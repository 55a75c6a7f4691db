// The modem's configured behaviour, and the parser of the profile text format
// (documented in README.md).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace modemsim {

constexpr int kDefaultDialDelayMs = 1000;
constexpr int kDefaultGuardMs = 1000;
constexpr int kMaxDelayMs = 3600000;  // one hour; larger values are typos

// One burst of an answer, sent delayMs after the previous piece (the first
// piece: after the CR that ended the command).
struct AnswerPiece {
  int delayMs = 0;
  std::string bytes;
};

// Everything sent for one use of a rule; empty means the modem stays silent.
using Answer = std::vector<AnswerPiece>;

// Answers for the 1st, 2nd, ... use of a rule; the last one repeats from then
// on. Never empty.
using AnswerSequence = std::vector<Answer>;

struct CommandRule {
  std::string text;              // whole command line (cmd) or its start (prefix)
  AnswerSequence answers;
  std::optional<bool> setsEcho;  // echo state set when the rule answers
  int sourceLine = 0;
};

enum class DialOutcome { Connect, Busy, NoAnswer, NoCarrier, NoDialtone, Error, Silent };

struct DialResult {
  int delayMs = kDefaultDialDelayMs;  // from the CR of the ATD line
  DialOutcome outcome = DialOutcome::Connect;
  std::string connectText;            // Connect only; empty: Profile::connectText
};

struct DialRule {
  std::string number;                // text after ATD and an optional T or P
  std::vector<DialResult> results;   // per attempt; the last one repeats
  int sourceLine = 0;
};

struct EchoFault {
  char match = 0;        // received byte whose echo is disturbed
  bool drop = false;     // true: nothing is echoed; false: `replacement` is
  char replacement = 0;
  int nth = 0;           // 0: every occurrence; N: only the Nth echoed occurrence
};

// A misbehaving modem: every fault is off by default. Answer faults shape
// the answers to command lines and the dial results (not the echo).
struct Faults {
  uint64_t seed = 1;                // of the random faults (jitter, echo delay and loss)
  std::string garbage;              // sent after every answer ...
  int garbageAfterMs = 20;          // ... this long after its last piece
  std::string flood;                // sent over and over, without end ...
  std::string floodOn;              // ... from this command line on (empty: from the start)
  int floodBytesPerSecond = 11520;  // 115200 bit/s with 8N1
  std::string cutOn;                // the first answer to this command line is cut ...
  int cutAfterBytes = 0;            // ... after this many bytes, then the line is gone
  int cutBackAfterMs = -1;          // a new line at the link this long after (-1: never)
  int splitGapMs = -1;              // answers one byte at a time, this far apart (-1: off)
  std::string around;               // before and after every answer piece
  std::string inject;               // put into every answer piece ...
  int injectEvery = 0;              // ... after each this many of its bytes (0: off)
  bool offByOne = false;            // each command line gets the previous one's answer
  int jitterMinMs = 0;              // extra delay of every answer piece, drawn
  int jitterMaxMs = 0;              // from [min, max]
  int echoDelayMinMs = 0;           // delay of every echo, drawn from [min, max]
  int echoDelayMaxMs = 0;
  int echoLossPercent = 0;          // chance that the echo of a byte is left out
};

struct Profile {
  bool echoOn = true;                                   // after start, ATZ, AT&F
  AnswerSequence emptyLine = {Answer{}};                // answer to a bare CR
  AnswerSequence unknown = {Answer{{0, "\r\nERROR\r\n"}}};
  std::vector<CommandRule> commands;                    // exact matches
  std::vector<CommandRule> prefixes;                    // longest start wins
  std::vector<DialResult> dialDefault = {DialResult{}};
  std::vector<DialRule> dialNumbers;
  std::vector<EchoFault> echoFaults;
  std::string connectText = "CONNECT 28800/V42";        // without CR LF framing
  int guardMs = kDefaultGuardMs;                        // escape guard time
  int dropAfterMs = 0;                                  // 0: never drops by itself
  bool abortDial = false;                               // a byte while dialling aborts
  bool silent = false;                                  // nothing attached: no echo, no answer
  Faults faults;
};

struct ProfileError {
  int line = 0;  // 1-based line number in the profile text
  std::string message;
};

// Parses a whole profile. Returns false and fills `error` on the first problem.
bool ParseProfile(const std::string& text, Profile& profile, ProfileError& error);

}  // namespace modemsim
