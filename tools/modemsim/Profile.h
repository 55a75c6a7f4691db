// The modem's configured behaviour, and the parser of the profile text format
// (documented in README.md).
#pragma once

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

enum class DialOutcome { Connect, Busy, NoCarrier, NoDialtone, Error, Silent };

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
};

struct ProfileError {
  int line = 0;  // 1-based line number in the profile text
  std::string message;
};

// Parses a whole profile. Returns false and fills `error` on the first problem.
bool ParseProfile(const std::string& text, Profile& profile, ProfileError& error);

}  // namespace modemsim
