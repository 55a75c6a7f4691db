#include "Modem.h"

#include <algorithm>

#include "Escape.h"

namespace modemsim {
namespace {

constexpr size_t kMaxLineBytes = 1024;  // longer command lines are cut here
constexpr char kOk[] = "\r\nOK\r\n";
constexpr char kError[] = "\r\nERROR\r\n";
constexpr char kNoCarrier[] = "\r\nNO CARRIER\r\n";
constexpr int64_t kFloodTickMs = 20;    // a flood is sent in chunks this often

ModemOutput Note(std::string text) { return {ModemOutput::Kind::Note, std::move(text)}; }
ModemOutput Send(std::string bytes) { return {ModemOutput::Kind::Send, std::move(bytes)}; }

// Item for the `uses`-th use of a rule; the last item repeats.
template <typename T>
const T& NextOf(const std::vector<T>& items, size_t& uses) {
  const T& item = items[std::min(uses, items.size() - 1)];
  ++uses;
  return item;
}

std::string ToUpper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool IsOneOf(const std::string& text, std::initializer_list<const char*> choices) {
  return std::any_of(choices.begin(), choices.end(),
                     [&text](const char* choice) { return text == choice; });
}

// `bytes` with `text` put in after each `every` of its bytes.
std::string Inject(const std::string& bytes, const std::string& text, int every) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if ((i + 1) % static_cast<size_t>(every) == 0) out += text;
  }
  return out;
}

// The first `count` bytes of `answer`, with the pieces' delays.
Answer FirstBytes(const Answer& answer, size_t count) {
  Answer kept;
  for (const AnswerPiece& piece : answer) {
    if (count == 0) break;
    const size_t take = std::min(count, piece.bytes.size());
    kept.push_back({piece.delayMs, piece.bytes.substr(0, take)});
    count -= take;
  }
  if (kept.empty()) kept.push_back({answer.empty() ? 0 : answer.front().delayMs, ""});
  return kept;
}

}  // namespace

Modem::Modem(Profile profile)
    : profile_(std::move(profile)),
      echoOn_(profile_.echoOn),
      faultCounts_(profile_.echoFaults.size(), 0),
      commandUses_(profile_.commands.size(), 0),
      prefixUses_(profile_.prefixes.size(), 0),
      dialUses_(profile_.dialNumbers.size(), 0),
      random_(profile_.faults.seed) {
  if (!profile_.faults.flood.empty() && profile_.faults.floodOn.empty()) floodDueMs_ = 0;
}

void Modem::LineBack() {
  lineGone_ = false;
  mode_ = ModemMode::Command;
  connected_ = false;
  echoOn_ = profile_.echoOn;
  line_.clear();
  plusCount_ = 0;
}

std::vector<ModemOutput> Modem::Receive(std::string_view bytes, int64_t nowMs) {
  std::vector<ModemOutput> out;
  RunDue(nowMs, out);
  // A port with nothing attached, or a line that is gone: bytes go nowhere.
  if (profile_.silent || lineGone_) return out;
  std::string echo;
  for (char c : bytes) {
    switch (mode_) {
      case ModemMode::Command: CommandByte(c, nowMs, echo, out); break;
      case ModemMode::Dialling: DiallingByte(nowMs, out); break;
      case ModemMode::Data: DataByte(c, nowMs); break;
    }
  }
  EmitEcho(echo, nowMs, out);
  return out;
}

std::vector<ModemOutput> Modem::Advance(int64_t nowMs) {
  std::vector<ModemOutput> out;
  RunDue(nowMs, out);
  return out;
}

Modem::Timer Modem::EarliestDue(int64_t& dueMs) const {
  Timer earliest = Timer::None;
  auto consider = [&](Timer timer, int64_t due) {
    if (earliest == Timer::None || due < dueMs) {
      earliest = timer;
      dueMs = due;
    }
  };
  // Order of the checks breaks ties: queued bytes first.
  if (!sends_.empty()) consider(Timer::Send, sends_.front().dueMs);
  if (dialDueMs_) consider(Timer::Dial, *dialDueMs_);
  if (escapeDueMs_) consider(Timer::Escape, *escapeDueMs_);
  if (dropDueMs_) consider(Timer::Drop, *dropDueMs_);
  if (floodDueMs_) consider(Timer::Flood, *floodDueMs_);
  return earliest;
}

std::optional<int64_t> Modem::NextDueMs() const {
  int64_t dueMs = 0;
  if (EarliestDue(dueMs) == Timer::None) return std::nullopt;
  return dueMs;
}

void Modem::RunDue(int64_t nowMs, std::vector<ModemOutput>& out) {
  int64_t dueMs = 0;
  for (Timer timer = EarliestDue(dueMs); timer != Timer::None && dueMs <= nowMs;
       timer = EarliestDue(dueMs)) {
    switch (timer) {
      case Timer::Send: {
        QueuedSend& send = sends_.front();
        if (!send.bytes.empty()) out.push_back(Send(std::move(send.bytes)));
        const bool lineGoneAfter = send.lineGoneAfter;
        sends_.pop_front();
        if (lineGoneAfter) GoOffLine(out);
        break;
      }
      case Timer::Flood: SendFlood(dueMs, out); break;
      case Timer::Dial: FinishDial(dueMs, out); break;
      case Timer::Escape: FinishEscape(dueMs, out); break;
      case Timer::Drop: DropCarrier(dueMs, out); break;
      case Timer::None: break;
    }
  }
}

void Modem::AppendEcho(char c, std::string& echo) {
  const EchoFault* applied = nullptr;
  for (size_t i = 0; i < profile_.echoFaults.size(); ++i) {
    const EchoFault& fault = profile_.echoFaults[i];
    if (fault.match != c) continue;
    const int occurrence = ++faultCounts_[i];
    if (applied == nullptr && (fault.nth == 0 || fault.nth == occurrence)) applied = &fault;
  }
  const int lossPercent = profile_.faults.echoLossPercent;
  if (lossPercent > 0 && random_.Between(1, 100) <= lossPercent) return;
  if (applied == nullptr) {
    echo += c;
  } else if (!applied->drop) {
    echo += applied->replacement;
  }
}

void Modem::EmitEcho(std::string& echo, int64_t nowMs, std::vector<ModemOutput>& out) {
  if (echo.empty()) return;
  const Faults& faults = profile_.faults;
  if (faults.echoDelayMaxMs > 0) {
    Schedule(Answer{{random_.Between(faults.echoDelayMinMs, faults.echoDelayMaxMs), echo}}, nowMs);
  } else {
    out.push_back(Send(echo));
  }
  echo.clear();
}

void Modem::CommandByte(char c, int64_t nowMs, std::string& echo,
                        std::vector<ModemOutput>& out) {
  if (echoOn_) AppendEcho(c, echo);
  if (c == '\r') {
    EmitEcho(echo, nowMs, out);
    ExecuteLine(nowMs, out);
    line_.clear();
    RunDue(nowMs, out);
  } else if (c == '\b') {
    if (!line_.empty()) line_.pop_back();
  } else if (c != '\n' && line_.size() < kMaxLineBytes) {
    line_ += c;
  }
}

void Modem::DiallingByte(int64_t nowMs, std::vector<ModemOutput>& out) {
  if (!profile_.abortDial) return;
  dialDueMs_.reset();
  mode_ = ModemMode::Command;
  out.push_back(Note("dial-abort"));
  SendResult(kNoCarrier, nowMs, out);
}

void Modem::SendFlood(int64_t dueMs, std::vector<ModemOutput>& out) {
  const std::string& text = profile_.faults.flood;
  const int64_t chunk =
      std::max<int64_t>(1, profile_.faults.floodBytesPerSecond * kFloodTickMs / 1000);
  std::string bytes;
  for (int64_t i = 0; i < chunk; ++i) {
    bytes += text[floodPos_];
    floodPos_ = (floodPos_ + 1) % text.size();
  }
  ModemOutput output = Send(std::move(bytes));
  output.lossy = true;
  out.push_back(std::move(output));
  floodDueMs_ = dueMs + kFloodTickMs;
}

void Modem::GoOffLine(std::vector<ModemOutput>& out) {
  lineGone_ = true;
  sends_.clear();
  dialDueMs_.reset();
  escapeDueMs_.reset();
  dropDueMs_.reset();
  floodDueMs_.reset();
  out.push_back({ModemOutput::Kind::LineGone, "", false});
}

void Modem::DataByte(char c, int64_t nowMs) {
  const bool continuesEscape =
      c == '+' && plusCount_ > 0 && plusCount_ < 3 && nowMs - firstPlusMs_ <= profile_.guardMs;
  if (continuesEscape) {
    if (++plusCount_ == 3) escapeDueMs_ = nowMs + profile_.guardMs;
  } else {
    escapeDueMs_.reset();
    plusCount_ = 0;
    if (c == '+' && nowMs - lastDataRxMs_ >= profile_.guardMs) {
      plusCount_ = 1;
      firstPlusMs_ = nowMs;
    }
  }
  lastDataRxMs_ = nowMs;
}

void Modem::ExecuteLine(int64_t nowMs, std::vector<ModemOutput>& out) {
  if (line_.empty()) {
    out.push_back(Note("empty-line"));
    Schedule(Shape(NextOf(profile_.emptyLine, emptyUses_)), nowMs);
    return;
  }
  out.push_back(Note("command " + EscapeBytes(line_)));
  if (!floodDueMs_ && !profile_.faults.flood.empty() && line_ == profile_.faults.floodOn) {
    floodDueMs_ = nowMs;
    out.push_back(Note("flood"));
  }
  const CommandRule* rule = nullptr;
  size_t* uses = nullptr;
  for (size_t i = 0; i < profile_.commands.size() && rule == nullptr; ++i) {
    if (profile_.commands[i].text == line_) {
      rule = &profile_.commands[i];
      uses = &commandUses_[i];
    }
  }
  // Without an exact rule, the longest matching prefix rule answers.
  const bool exact = rule != nullptr;
  for (size_t i = 0; i < profile_.prefixes.size() && !exact; ++i) {
    const CommandRule& prefix = profile_.prefixes[i];
    const bool matches = line_.compare(0, prefix.text.size(), prefix.text) == 0;
    if (matches && (rule == nullptr || prefix.text.size() > rule->text.size())) {
      rule = &prefix;
      uses = &prefixUses_[i];
    }
  }
  if (rule != nullptr) {
    Reply(NextOf(rule->answers, *uses), nowMs);
    if (rule->setsEcho) SetEcho(*rule->setsEcho, out);
    return;
  }
  if (!ExecuteBuiltin(nowMs, out)) Reply(NextOf(profile_.unknown, unknownUses_), nowMs);
}

bool Modem::ExecuteBuiltin(int64_t nowMs, std::vector<ModemOutput>& out) {
  const std::string command = ToUpper(line_);
  if (command == "AT") {
    ReplyText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATE", "ATE0", "ATE1"})) {
    SetEcho(command == "ATE1", out);
    ReplyText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATZ", "ATZ0", "AT&F", "AT&F0"})) {
    // A reset ends a call held in online command mode, as on a real modem.
    if (connected_) HangUp(out);
    SetEcho(profile_.echoOn, out);
    ReplyText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATH", "ATH0"})) {
    if (connected_) HangUp(out);
    ReplyText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATO", "ATO0"})) {
    if (!connected_) {
      ReplyText(kNoCarrier, nowMs);
      return true;
    }
    ReplyText("\r\n" + activeConnectText_ + "\r\n", nowMs);
    EnterData(nowMs, out);
  } else if (command.compare(0, 3, "ATD") == 0) {
    if (connected_) {
      ReplyText(kError, nowMs);
    } else {
      Reply(Answer{}, nowMs);  // a held answer still goes out
      StartDial(nowMs, out);
    }
  } else {
    return false;
  }
  return true;
}

void Modem::StartDial(int64_t nowMs, std::vector<ModemOutput>& out) {
  std::string number = line_.substr(3);
  if (!number.empty() && std::string("TtPp").find(number[0]) != std::string::npos) {
    number.erase(0, 1);
  }
  const DialResult* result = nullptr;
  for (size_t i = 0; i < profile_.dialNumbers.size() && result == nullptr; ++i) {
    if (profile_.dialNumbers[i].number == number) {
      result = &NextOf(profile_.dialNumbers[i].results, dialUses_[i]);
    }
  }
  if (result == nullptr) result = &NextOf(profile_.dialDefault, dialDefaultUses_);
  pendingDial_ = *result;
  dialDueMs_ = nowMs + result->delayMs;
  mode_ = ModemMode::Dialling;
  out.push_back(Note("dial " + EscapeBytes(number)));
}

void Modem::FinishDial(int64_t nowMs, std::vector<ModemOutput>& out) {
  dialDueMs_.reset();
  mode_ = ModemMode::Command;
  const char* word = "none";
  const char* text = nullptr;
  switch (pendingDial_.outcome) {
    case DialOutcome::Connect: word = "connect"; break;
    case DialOutcome::Busy: word = "busy"; text = "BUSY"; break;
    case DialOutcome::NoAnswer: word = "no-answer"; text = "NO ANSWER"; break;
    case DialOutcome::NoCarrier: word = "no-carrier"; text = "NO CARRIER"; break;
    case DialOutcome::NoDialtone: word = "no-dialtone"; text = "NO DIALTONE"; break;
    case DialOutcome::Error: word = "error"; text = "ERROR"; break;
    case DialOutcome::Silent: break;
  }
  out.push_back(Note(std::string("dial-result ") + word));
  if (text != nullptr) SendResult(std::string("\r\n") + text + "\r\n", nowMs, out);
  if (pendingDial_.outcome != DialOutcome::Connect) return;
  activeConnectText_ =
      pendingDial_.connectText.empty() ? profile_.connectText : pendingDial_.connectText;
  SendResult("\r\n" + activeConnectText_ + "\r\n", nowMs, out);
  connected_ = true;
  if (profile_.dropAfterMs > 0) dropDueMs_ = nowMs + profile_.dropAfterMs;
  EnterData(nowMs, out);
}

void Modem::EnterData(int64_t nowMs, std::vector<ModemOutput>& out) {
  mode_ = ModemMode::Data;
  lastDataRxMs_ = nowMs;
  plusCount_ = 0;
  escapeDueMs_.reset();
  out.push_back(Note("mode data"));
}

void Modem::FinishEscape(int64_t nowMs, std::vector<ModemOutput>& out) {
  escapeDueMs_.reset();
  plusCount_ = 0;
  mode_ = ModemMode::Command;
  line_.clear();
  out.push_back(Note("escape"));
  out.push_back(Note("mode command"));
  SendResult(kOk, nowMs, out);
}

void Modem::DropCarrier(int64_t nowMs, std::vector<ModemOutput>& out) {
  const bool wasData = mode_ == ModemMode::Data;
  connected_ = false;
  dropDueMs_.reset();
  escapeDueMs_.reset();
  plusCount_ = 0;
  mode_ = ModemMode::Command;
  out.push_back(Note("drop"));
  if (wasData) out.push_back(Note("mode command"));
  SendResult(kNoCarrier, nowMs, out);
}

void Modem::HangUp(std::vector<ModemOutput>& out) {
  connected_ = false;
  dropDueMs_.reset();
  escapeDueMs_.reset();
  plusCount_ = 0;
  out.push_back(Note("hangup"));
}

void Modem::SetEcho(bool on, std::vector<ModemOutput>& out) {
  if (echoOn_ != on) out.push_back(Note(on ? "echo on" : "echo off"));
  echoOn_ = on;
}

void Modem::Schedule(const Answer& answer, int64_t nowMs, bool lineGoneAfter) {
  int64_t dueMs = nowMs;
  for (const AnswerPiece& piece : answer) {
    dueMs += piece.delayMs;
    if (!sends_.empty()) dueMs = std::max(dueMs, sends_.back().dueMs);
    sends_.push_back({dueMs, piece.bytes, false});
  }
  if (lineGoneAfter && !sends_.empty()) sends_.back().lineGoneAfter = true;
}

// The answer to the command line just completed, with the faults: off by one
// (the previous line's answer goes out instead), the cut, and the shaping.
void Modem::Reply(const Answer& answer, int64_t nowMs) {
  Answer sent = answer;
  if (profile_.faults.offByOne) std::swap(sent, held_);
  sent = Shape(sent);
  if (!cutDone_ && !profile_.faults.cutOn.empty() && line_ == profile_.faults.cutOn) {
    cutDone_ = true;
    Schedule(FirstBytes(sent, static_cast<size_t>(profile_.faults.cutAfterBytes)), nowMs, true);
    return;
  }
  Schedule(sent, nowMs);
}

void Modem::ReplyText(const std::string& bytes, int64_t nowMs) {
  Reply(Answer{{0, bytes}}, nowMs);
}

// A result the modem sends by itself (call result, escape OK, dropped call):
// at once, or shaped like an answer when an answer fault is on.
void Modem::SendResult(const std::string& bytes, int64_t nowMs, std::vector<ModemOutput>& out) {
  if (!ShapesAnswers()) {
    out.push_back(Send(bytes));
    return;
  }
  Schedule(Shape(Answer{{0, bytes}}), nowMs);
}

bool Modem::ShapesAnswers() const {
  const Faults& f = profile_.faults;
  return !f.garbage.empty() || f.splitGapMs >= 0 || !f.around.empty() || f.injectEvery > 0 ||
         f.jitterMaxMs > 0;
}

// Around, inject and jitter per piece, then the split into single bytes;
// the garbage follows a non-empty answer.
Answer Modem::Shape(const Answer& answer) {
  if (!ShapesAnswers()) return answer;
  const Faults& f = profile_.faults;
  Answer shaped;
  for (const AnswerPiece& piece : answer) {
    std::string bytes = f.around + piece.bytes + f.around;
    if (f.injectEvery > 0) bytes = Inject(bytes, f.inject, f.injectEvery);
    const int delayMs = piece.delayMs + random_.Between(f.jitterMinMs, f.jitterMaxMs);
    if (f.splitGapMs < 0 || bytes.size() < 2) {
      shaped.push_back({delayMs, bytes});
      continue;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
      shaped.push_back({i == 0 ? delayMs : f.splitGapMs, std::string(1, bytes[i])});
    }
  }
  if (!f.garbage.empty() && !answer.empty()) shaped.push_back({f.garbageAfterMs, f.garbage});
  return shaped;
}

}  // namespace modemsim
