#include "Profile.h"

#include <string_view>

#include "Escape.h"
#include "ProfileTokens.h"

namespace modemsim {
namespace {

constexpr int kMaxCount = 1000000;  // upper bound for counts: nth, bytes, rates

// Walks the tokens of one profile line.
class LineCursor {
 public:
  explicit LineCursor(const std::vector<ProfileToken>& tokens) : tokens_(tokens) {}

  const ProfileToken* Peek() const { return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr; }
  const ProfileToken& Take() { return tokens_[pos_++]; }

  // Consumes the next token when it is the unquoted `word`.
  bool TakeWord(std::string_view word) {
    const ProfileToken* token = Peek();
    if (token == nullptr || token->quoted || token->text != word) return false;
    ++pos_;
    return true;
  }

  // Text for error messages: 'word', "quoted" or end of line.
  std::string DescribeNext() const {
    const ProfileToken* token = Peek();
    if (token == nullptr) return "end of line";
    return token->quoted ? "\"" + EscapeBytes(token->text) + "\"" : "'" + token->text + "'";
  }

  bool NextIsNumber() const {
    const ProfileToken* token = Peek();
    if (token == nullptr || token->quoted || token->text.empty()) return false;
    for (char c : token->text) {
      if (c < '0' || c > '9') return false;
    }
    return true;
  }

 private:
  const std::vector<ProfileToken>& tokens_;
  size_t pos_ = 0;
};

class ProfileParser {
 public:
  explicit ProfileParser(Profile& profile) : profile_(profile) {}

  bool ParseLine(LineCursor& cursor, int lineNumber);
  const std::string& Error() const { return error_; }

 private:
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }
  bool ExpectEnd(LineCursor& cursor);
  bool ParseOnOff(LineCursor& cursor, const char* what, bool& value);
  bool ParseNumber(LineCursor& cursor, const char* what, int minValue, int maxValue, int& value);
  bool ParseAnswer(LineCursor& cursor, Answer& answer);
  bool ParseAnswers(LineCursor& cursor, AnswerSequence& answers);
  bool ParseAnswerDirective(LineCursor& cursor, const char* what, AnswerSequence& answers);
  bool ParseCommandRule(LineCursor& cursor, const char* kind, int lineNumber,
                        std::vector<CommandRule>& rules);
  bool ParseDialResult(LineCursor& cursor, DialResult& result);
  bool ParseDial(LineCursor& cursor, int lineNumber);
  bool ParseEchoFault(LineCursor& cursor);
  bool ParseSingleByte(LineCursor& cursor, const char* what, char& value);
  bool ParseText(LineCursor& cursor, const char* what, std::string& text);
  bool ParseRange(LineCursor& cursor, const char* what, int& minMs, int& maxMs);
  bool ParseSeed(LineCursor& cursor);
  bool ParseFault(const std::string& name, LineCursor& cursor, bool& known);

  Profile& profile_;
  std::string error_;
};

bool ProfileParser::ExpectEnd(LineCursor& cursor) {
  if (cursor.Peek() == nullptr) return true;
  return Fail("unexpected " + cursor.DescribeNext());
}

bool ProfileParser::ParseOnOff(LineCursor& cursor, const char* what, bool& value) {
  if (cursor.TakeWord("on")) {
    value = true;
    return true;
  }
  if (cursor.TakeWord("off")) {
    value = false;
    return true;
  }
  return Fail(std::string(what) + " expects 'on' or 'off', got " + cursor.DescribeNext());
}

bool ProfileParser::ParseNumber(LineCursor& cursor, const char* what, int minValue,
                                int maxValue, int& value) {
  if (!cursor.NextIsNumber()) {
    return Fail(std::string(what) + " must be a whole number, got " + cursor.DescribeNext());
  }
  const std::string& digits = cursor.Take().text;
  long long parsed = 0;
  for (char c : digits) {
    parsed = parsed * 10 + (c - '0');
    if (parsed > maxValue) break;
  }
  if (parsed < minValue || parsed > maxValue) {
    return Fail(std::string(what) + " must be between " + std::to_string(minValue) + " and " +
                std::to_string(maxValue) + ", got " + digits);
  }
  value = static_cast<int>(parsed);
  return true;
}

bool ProfileParser::ParseAnswer(LineCursor& cursor, Answer& answer) {
  answer.clear();
  if (cursor.TakeWord("none")) return true;
  for (const ProfileToken* token = cursor.Peek(); token != nullptr; token = cursor.Peek()) {
    AnswerPiece piece;
    if (cursor.NextIsNumber()) {
      if (!ParseNumber(cursor, "delay (ms)", 0, kMaxDelayMs, piece.delayMs)) return false;
      token = cursor.Peek();
      if (token == nullptr || !token->quoted) {
        return Fail("expected quoted text after delay " + std::to_string(piece.delayMs) +
                    ", got " + cursor.DescribeNext());
      }
    } else if (!token->quoted) {
      break;
    }
    piece.bytes = cursor.Take().text;
    answer.push_back(std::move(piece));
  }
  if (answer.empty()) {
    return Fail("expected an answer (quoted text, a delay in ms then quoted text, or none), got " +
                cursor.DescribeNext());
  }
  return true;
}

bool ProfileParser::ParseAnswers(LineCursor& cursor, AnswerSequence& answers) {
  answers.clear();
  do {
    Answer answer;
    if (!ParseAnswer(cursor, answer)) return false;
    answers.push_back(std::move(answer));
  } while (cursor.TakeWord("then"));
  return true;
}

bool ProfileParser::ParseAnswerDirective(LineCursor& cursor, const char* what,
                                         AnswerSequence& answers) {
  if (!cursor.TakeWord("=")) {
    return Fail(std::string("expected '=' after '") + what + "', got " + cursor.DescribeNext());
  }
  return ParseAnswers(cursor, answers) && ExpectEnd(cursor);
}

bool ProfileParser::ParseCommandRule(LineCursor& cursor, const char* kind, int lineNumber,
                                     std::vector<CommandRule>& rules) {
  if (cursor.Peek() == nullptr) return Fail(std::string(kind) + " needs a command text");
  CommandRule rule;
  rule.text = cursor.Take().text;
  rule.sourceLine = lineNumber;
  if (rule.text.empty()) {
    return Fail("command text must not be empty (use 'empty' for a bare CR)");
  }
  if (!cursor.TakeWord("=")) {
    return Fail("expected '=' after command text, got " + cursor.DescribeNext());
  }
  if (!ParseAnswers(cursor, rule.answers)) return false;
  if (cursor.TakeWord("echo")) {
    bool echoOn = true;
    if (!ParseOnOff(cursor, "echo", echoOn)) return false;
    rule.setsEcho = echoOn;
  }
  if (!ExpectEnd(cursor)) return false;
  for (const CommandRule& other : rules) {
    if (other.text == rule.text) {
      return Fail(std::string("duplicate ") + kind + " \"" + EscapeBytes(rule.text) +
                  "\" (first at line " + std::to_string(other.sourceLine) + ")");
    }
  }
  rules.push_back(std::move(rule));
  return true;
}

bool ProfileParser::ParseDialResult(LineCursor& cursor, DialResult& result) {
  result = DialResult{};
  if (cursor.TakeWord("delay") &&
      !ParseNumber(cursor, "dial delay (ms)", 0, kMaxDelayMs, result.delayMs)) {
    return false;
  }
  if (cursor.TakeWord("connect")) {
    result.outcome = DialOutcome::Connect;
    const ProfileToken* token = cursor.Peek();
    if (token != nullptr && token->quoted) {
      result.connectText = cursor.Take().text;
      if (result.connectText.empty()) return Fail("connect text must not be empty");
    }
  } else if (cursor.TakeWord("busy")) {
    result.outcome = DialOutcome::Busy;
  } else if (cursor.TakeWord("no-answer")) {
    result.outcome = DialOutcome::NoAnswer;
  } else if (cursor.TakeWord("no-carrier")) {
    result.outcome = DialOutcome::NoCarrier;
  } else if (cursor.TakeWord("no-dialtone")) {
    result.outcome = DialOutcome::NoDialtone;
  } else if (cursor.TakeWord("error")) {
    result.outcome = DialOutcome::Error;
  } else if (cursor.TakeWord("none")) {
    result.outcome = DialOutcome::Silent;
  } else {
    return Fail("expected a dial result (connect, busy, no-answer, no-carrier, no-dialtone, error, none), got " +
                cursor.DescribeNext());
  }
  return true;
}

bool ProfileParser::ParseDial(LineCursor& cursor, int lineNumber) {
  if (cursor.Peek() == nullptr) return Fail("dial needs 'default' or a number");
  const bool isDefault = cursor.TakeWord("default");
  DialRule rule;
  rule.sourceLine = lineNumber;
  if (!isDefault) {
    rule.number = cursor.Take().text;
    if (rule.number.empty()) return Fail("dialled number must not be empty");
  }
  do {
    DialResult result;
    if (!ParseDialResult(cursor, result)) return false;
    rule.results.push_back(std::move(result));
  } while (cursor.TakeWord("then"));
  if (!ExpectEnd(cursor)) return false;
  if (isDefault) {
    profile_.dialDefault = std::move(rule.results);
    return true;
  }
  for (const DialRule& other : profile_.dialNumbers) {
    if (other.number == rule.number) {
      return Fail("duplicate dial \"" + EscapeBytes(rule.number) + "\" (first at line " +
                  std::to_string(other.sourceLine) + ")");
    }
  }
  profile_.dialNumbers.push_back(std::move(rule));
  return true;
}

bool ProfileParser::ParseSingleByte(LineCursor& cursor, const char* what, char& value) {
  const ProfileToken* token = cursor.Peek();
  if (token == nullptr || token->text.size() != 1) {
    return Fail(std::string(what) + " must be exactly one character, got " + cursor.DescribeNext());
  }
  value = cursor.Take().text[0];
  return true;
}

bool ProfileParser::ParseEchoFault(LineCursor& cursor) {
  EchoFault fault;
  if (cursor.TakeWord("drop")) {
    fault.drop = true;
    if (!ParseSingleByte(cursor, "echo-fault character", fault.match)) return false;
  } else if (cursor.TakeWord("replace")) {
    if (!ParseSingleByte(cursor, "echo-fault character", fault.match) ||
        !ParseSingleByte(cursor, "echo-fault replacement", fault.replacement)) {
      return false;
    }
  } else {
    return Fail("echo-fault expects 'drop' or 'replace', got " + cursor.DescribeNext());
  }
  if (cursor.TakeWord("nth") && !ParseNumber(cursor, "nth", 1, kMaxCount, fault.nth)) {
    return false;
  }
  if (!ExpectEnd(cursor)) return false;
  profile_.echoFaults.push_back(fault);
  return true;
}

bool ProfileParser::ParseText(LineCursor& cursor, const char* what, std::string& text) {
  const ProfileToken* token = cursor.Peek();
  if (token == nullptr || token->text.empty()) {
    return Fail(std::string(what) + " needs a non-empty text, got " + cursor.DescribeNext());
  }
  text = cursor.Take().text;
  return true;
}

bool ProfileParser::ParseRange(LineCursor& cursor, const char* what, int& minMs, int& maxMs) {
  if (!ParseNumber(cursor, what, 0, kMaxDelayMs, minMs) ||
      !ParseNumber(cursor, what, 0, kMaxDelayMs, maxMs)) {
    return false;
  }
  if (minMs > maxMs) {
    return Fail(std::string(what) + ": the least (" + std::to_string(minMs) +
                ") is more than the most (" + std::to_string(maxMs) + ")");
  }
  return true;
}

bool ProfileParser::ParseSeed(LineCursor& cursor) {
  const ProfileToken* token = cursor.Peek();
  if (!cursor.NextIsNumber() || token->text.size() > 19) {
    return Fail("seed must be a whole number of at most 19 digits, got " + cursor.DescribeNext());
  }
  uint64_t seed = 0;
  for (char c : cursor.Take().text) seed = seed * 10 + static_cast<uint64_t>(c - '0');
  profile_.faults.seed = seed;
  return true;
}

// The fault directives; `known` tells whether `name` is one of them.
bool ProfileParser::ParseFault(const std::string& name, LineCursor& cursor, bool& known) {
  Faults& faults = profile_.faults;
  known = true;
  if (name == "seed") return ParseSeed(cursor);
  if (name == "garbage") {
    if (!ParseText(cursor, "garbage", faults.garbage)) return false;
    return !cursor.TakeWord("after") ||
           ParseNumber(cursor, "garbage after (ms)", 0, kMaxDelayMs, faults.garbageAfterMs);
  }
  if (name == "flood") {
    if (!ParseText(cursor, "flood", faults.flood)) return false;
    if (cursor.TakeWord("on") && !ParseText(cursor, "flood on", faults.floodOn)) return false;
    return !cursor.TakeWord("rate") ||
           ParseNumber(cursor, "flood rate (bytes/s)", 1, kMaxCount, faults.floodBytesPerSecond);
  }
  if (name == "cut") {
    if (!ParseText(cursor, "cut", faults.cutOn) ||
        !ParseNumber(cursor, "cut after (bytes)", 0, kMaxCount, faults.cutAfterBytes)) {
      return false;
    }
    return !cursor.TakeWord("back") ||
           ParseNumber(cursor, "cut back (ms)", 0, kMaxDelayMs, faults.cutBackAfterMs);
  }
  if (name == "split") return ParseNumber(cursor, "split (ms)", 0, kMaxDelayMs, faults.splitGapMs);
  if (name == "around") return ParseText(cursor, "around", faults.around);
  if (name == "inject") {
    if (!ParseText(cursor, "inject", faults.inject)) return false;
    if (!cursor.TakeWord("every")) return Fail("inject expects 'every', got " + cursor.DescribeNext());
    return ParseNumber(cursor, "inject every (bytes)", 1, kMaxCount, faults.injectEvery);
  }
  if (name == "off-by-one") return ParseOnOff(cursor, "off-by-one", faults.offByOne);
  if (name == "jitter") return ParseRange(cursor, "jitter (ms)", faults.jitterMinMs, faults.jitterMaxMs);
  if (name == "echo-delay") {
    return ParseRange(cursor, "echo-delay (ms)", faults.echoDelayMinMs, faults.echoDelayMaxMs);
  }
  if (name == "echo-loss") return ParseNumber(cursor, "echo-loss (%)", 0, 100, faults.echoLossPercent);
  known = false;
  return true;
}

bool ProfileParser::ParseLine(LineCursor& cursor, int lineNumber) {
  if (cursor.Peek() == nullptr) return true;
  const ProfileToken& directive = cursor.Take();
  const std::string& name = directive.text;
  if (directive.quoted) return Fail("expected a directive, got quoted text");
  if (name == "echo") return ParseOnOff(cursor, "echo", profile_.echoOn) && ExpectEnd(cursor);
  if (name == "silent") return ParseOnOff(cursor, "silent", profile_.silent) && ExpectEnd(cursor);
  if (name == "abort-dial") {
    return ParseOnOff(cursor, "abort-dial", profile_.abortDial) && ExpectEnd(cursor);
  }
  if (name == "guard") {
    return ParseNumber(cursor, "guard (ms)", 1, kMaxDelayMs, profile_.guardMs) && ExpectEnd(cursor);
  }
  if (name == "drop-after") {
    return ParseNumber(cursor, "drop-after (ms)", 0, kMaxDelayMs, profile_.dropAfterMs) &&
           ExpectEnd(cursor);
  }
  if (name == "connect") {
    const ProfileToken* token = cursor.Peek();
    if (token == nullptr || token->text.empty()) return Fail("connect needs a text");
    profile_.connectText = cursor.Take().text;
    return ExpectEnd(cursor);
  }
  if (name == "unknown") return ParseAnswerDirective(cursor, "unknown", profile_.unknown);
  if (name == "empty") return ParseAnswerDirective(cursor, "empty", profile_.emptyLine);
  if (name == "cmd") return ParseCommandRule(cursor, "cmd", lineNumber, profile_.commands);
  if (name == "prefix") return ParseCommandRule(cursor, "prefix", lineNumber, profile_.prefixes);
  if (name == "dial") return ParseDial(cursor, lineNumber);
  if (name == "echo-fault") return ParseEchoFault(cursor);
  bool known = false;
  if (!ParseFault(name, cursor, known)) return false;
  if (known) return ExpectEnd(cursor);
  return Fail("unknown directive '" + name + "'");
}

}  // namespace

bool ParseProfile(const std::string& text, Profile& profile, ProfileError& error) {
  profile = Profile{};
  ProfileParser parser(profile);
  std::vector<ProfileToken> tokens;
  size_t start = 0;
  for (int lineNumber = 1; start <= text.size(); ++lineNumber) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    std::string tokenError;
    if (!TokenizeProfileLine(line, tokens, tokenError)) {
      error = {lineNumber, tokenError};
      return false;
    }
    LineCursor cursor(tokens);
    if (!parser.ParseLine(cursor, lineNumber)) {
      error = {lineNumber, parser.Error()};
      return false;
    }
    start = end + 1;
  }
  return true;
}

}  // namespace modemsim
