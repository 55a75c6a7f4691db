#include "Modem.h"

#include <algorithm>

#include "Escape.h"

namespace modemsim {
namespace {

constexpr size_t kMaxLineBytes = 1024;  // longer command lines are cut here
constexpr char kOk[] = "\r\nOK\r\n";
constexpr char kError[] = "\r\nERROR\r\n";
constexpr char kNoCarrier[] = "\r\nNO CARRIER\r\n";

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

}  // namespace

Modem::Modem(Profile profile)
    : profile_(std::move(profile)),
      echoOn_(profile_.echoOn),
      faultCounts_(profile_.echoFaults.size(), 0),
      commandUses_(profile_.commands.size(), 0),
      prefixUses_(profile_.prefixes.size(), 0),
      dialUses_(profile_.dialNumbers.size(), 0) {}

std::vector<ModemOutput> Modem::Receive(std::string_view bytes, int64_t nowMs) {
  std::vector<ModemOutput> out;
  RunDue(nowMs, out);
  if (profile_.silent) return out;  // a port with nothing attached: bytes go nowhere
  std::string echo;
  for (char c : bytes) {
    switch (mode_) {
      case ModemMode::Command: CommandByte(c, nowMs, echo, out); break;
      case ModemMode::Dialling: DiallingByte(out); break;
      case ModemMode::Data: DataByte(c, nowMs); break;
    }
  }
  if (!echo.empty()) out.push_back(Send(std::move(echo)));
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
      case Timer::Send:
        if (!sends_.front().bytes.empty()) out.push_back(Send(std::move(sends_.front().bytes)));
        sends_.pop_front();
        break;
      case Timer::Dial: FinishDial(dueMs, out); break;
      case Timer::Escape: FinishEscape(out); break;
      case Timer::Drop: DropCarrier(out); break;
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
  if (applied == nullptr) {
    echo += c;
  } else if (!applied->drop) {
    echo += applied->replacement;
  }
}

void Modem::CommandByte(char c, int64_t nowMs, std::string& echo,
                        std::vector<ModemOutput>& out) {
  if (echoOn_) AppendEcho(c, echo);
  if (c == '\r') {
    if (!echo.empty()) out.push_back(Send(std::move(echo)));
    echo.clear();
    ExecuteLine(nowMs, out);
    line_.clear();
    RunDue(nowMs, out);
  } else if (c == '\b') {
    if (!line_.empty()) line_.pop_back();
  } else if (c != '\n' && line_.size() < kMaxLineBytes) {
    line_ += c;
  }
}

void Modem::DiallingByte(std::vector<ModemOutput>& out) {
  if (!profile_.abortDial) return;
  dialDueMs_.reset();
  mode_ = ModemMode::Command;
  out.push_back(Note("dial-abort"));
  out.push_back(Send(kNoCarrier));
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
    Schedule(NextOf(profile_.emptyLine, emptyUses_), nowMs);
    return;
  }
  out.push_back(Note("command " + EscapeBytes(line_)));
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
    Schedule(NextOf(rule->answers, *uses), nowMs);
    if (rule->setsEcho) SetEcho(*rule->setsEcho, out);
    return;
  }
  if (!ExecuteBuiltin(nowMs, out)) Schedule(NextOf(profile_.unknown, unknownUses_), nowMs);
}

bool Modem::ExecuteBuiltin(int64_t nowMs, std::vector<ModemOutput>& out) {
  const std::string command = ToUpper(line_);
  if (command == "AT") {
    ScheduleText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATE", "ATE0", "ATE1"})) {
    SetEcho(command == "ATE1", out);
    ScheduleText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATZ", "ATZ0", "AT&F", "AT&F0"})) {
    // A reset ends a call held in online command mode, as on a real modem.
    if (connected_) HangUp(out);
    SetEcho(profile_.echoOn, out);
    ScheduleText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATH", "ATH0"})) {
    if (connected_) HangUp(out);
    ScheduleText(kOk, nowMs);
  } else if (IsOneOf(command, {"ATO", "ATO0"})) {
    if (!connected_) {
      ScheduleText(kNoCarrier, nowMs);
      return true;
    }
    ScheduleText("\r\n" + activeConnectText_ + "\r\n", nowMs);
    EnterData(nowMs, out);
  } else if (command.compare(0, 3, "ATD") == 0) {
    if (connected_) {
      ScheduleText(kError, nowMs);
    } else {
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
    case DialOutcome::NoCarrier: word = "no-carrier"; text = "NO CARRIER"; break;
    case DialOutcome::NoDialtone: word = "no-dialtone"; text = "NO DIALTONE"; break;
    case DialOutcome::Error: word = "error"; text = "ERROR"; break;
    case DialOutcome::Silent: break;
  }
  out.push_back(Note(std::string("dial-result ") + word));
  if (text != nullptr) out.push_back(Send(std::string("\r\n") + text + "\r\n"));
  if (pendingDial_.outcome != DialOutcome::Connect) return;
  activeConnectText_ =
      pendingDial_.connectText.empty() ? profile_.connectText : pendingDial_.connectText;
  out.push_back(Send("\r\n" + activeConnectText_ + "\r\n"));
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

void Modem::FinishEscape(std::vector<ModemOutput>& out) {
  escapeDueMs_.reset();
  plusCount_ = 0;
  mode_ = ModemMode::Command;
  line_.clear();
  out.push_back(Note("escape"));
  out.push_back(Note("mode command"));
  out.push_back(Send(kOk));
}

void Modem::DropCarrier(std::vector<ModemOutput>& out) {
  const bool wasData = mode_ == ModemMode::Data;
  connected_ = false;
  dropDueMs_.reset();
  escapeDueMs_.reset();
  plusCount_ = 0;
  mode_ = ModemMode::Command;
  out.push_back(Note("drop"));
  if (wasData) out.push_back(Note("mode command"));
  out.push_back(Send(kNoCarrier));
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

void Modem::Schedule(const Answer& answer, int64_t nowMs) {
  int64_t dueMs = nowMs;
  for (const AnswerPiece& piece : answer) {
    dueMs += piece.delayMs;
    if (!sends_.empty()) dueMs = std::max(dueMs, sends_.back().dueMs);
    sends_.push_back({dueMs, piece.bytes});
  }
}

void Modem::ScheduleText(const std::string& bytes, int64_t nowMs) {
  Schedule(Answer{{0, bytes}}, nowMs);
}

}  // namespace modemsim
