#include "RunLimit.h"

#include <algorithm>
#include <string>

namespace soak {
namespace {

// The modem test's own waits (the command request, the scan and the tests).
constexpr int64_t kWriteMs = 100;          // one write: a character, the command or a CR
constexpr int64_t kFirstEchoMs = 100;      // echo limit of the first try ...
constexpr int64_t kEchoStepMs = 50;        // ... raised after each failure
constexpr int64_t kRestartPauseMs = 300;   // pause before the command is sent again
constexpr int kEchoFailures = 11;          // the 11th failure ends the request
constexpr int64_t kLineEndByteMs = 2500;   // per byte of the echoed line
constexpr int64_t kBurstSilenceMs = 250;   // a burst of the answer ends after this silence
constexpr int64_t kAttemptPauseMs = 500;   // after an attempt without OK
constexpr int64_t kRequestMs = 10000;      // time limit of every request but "+++"
constexpr int64_t kEscapeMs = 2000;        // time limit of "+++"
constexpr int64_t kPurgeMs = 500;          // pause before the purge of the diagnostic test and the tests
constexpr int64_t kOpenMs = 40;            // DTR pulse and the wait after it
constexpr int64_t kDtrMs = 20;
constexpr int64_t kCallWaitMs = 60000;     // the call wait, 240 polls of 250 ms
constexpr int64_t kCallBurstMs = 1000;     // one read of the call wait
constexpr int64_t kCallPollMs = 250;
constexpr int64_t kConnectTimeMs = 3000;   // ConnectTime of the sample definition file
constexpr int64_t kUnknownModelBoxMs = 5000;  // the unattended "No TapiModemName" box closes after this
constexpr int64_t kProgramMs = 5000;       // starting and ending the program under Wine

// One command request: how it is sent, its limit, and the modem's own answer.
struct Request {
  std::string command;
  bool echoCheck = false;  // sent character by character against its echo
  bool lineEnd = true;     // waits for the echoed line end (no REQ_NO_CR)
  bool collects = true;    // collects an answer (no REQ_NO_ANSWER)
  int64_t limitMs = kRequestMs;
};

// The modem's first answer to `command`: the time of its last piece, and
// whether it holds a final OK.
void ModemAnswer(const modemsim::Profile& modem, const std::string& command, int64_t& lastPieceMs, bool& ok) {
  lastPieceMs = 0;
  ok = command == "AT" || command == "ATH";  // built-in commands of the modem
  for (const modemsim::CommandRule& rule : modem.commands) {
    if (rule.text != command) continue;
    std::string text;
    for (const modemsim::AnswerPiece& piece : rule.answers.front()) {
      lastPieceMs += piece.delayMs;
      text += piece.bytes;
    }
    ok = text.find("OK\r\n") != std::string::npos && text.find("NOK") == std::string::npos &&
         text.find("ERROR\r\n") == std::string::npos;
  }
}

int64_t EchoCheckMs(size_t length, bool stretched) {
  const auto n = static_cast<int64_t>(length);
  if (!stretched) return n * (kWriteMs + kFirstEchoMs);
  int64_t total = 0;
  for (int failure = 0; failure < kEchoFailures; ++failure) {
    total += n * (kWriteMs + kFirstEchoMs + kEchoStepMs * failure) + kRestartPauseMs;
  }
  return total;
}

int64_t RequestMs(const Request& request, const modemsim::Profile& modem, const Stretch& stretch) {
  int64_t total = request.echoCheck ? EchoCheckMs(request.command.size(), stretch.echo) : kWriteMs;
  if (request.lineEnd) total += stretch.lineEnd ? request.limitMs : kLineEndByteMs;
  if (!request.collects) return total;
  int64_t lastPieceMs = 0;
  bool ok = false;
  ModemAnswer(modem, request.command, lastPieceMs, ok);
  if (stretch.answer) return total + 2 * request.limitMs + kAttemptPauseMs;
  if (!ok) return total + request.limitMs + kAttemptPauseMs;
  return total + std::min(lastPieceMs + kBurstSilenceMs, request.limitMs);
}

}  // namespace

Stretch StretchOf(const RunPlan& plan) {
  Stretch stretch;
  for (const Fault& fault : plan.faults) {
    switch (fault.kind) {
      case FaultKind::Garbage:
      case FaultKind::EchoDelayWithin:
      case FaultKind::EchoDelayBeyond:
        stretch.echo = stretch.lineEnd = stretch.answer = true;
        break;
      case FaultKind::Flood:
      case FaultKind::Cut:
      case FaultKind::CutBack:
        stretch.echo = stretch.lineEnd = stretch.answer = stretch.callWait = true;
        break;
      case FaultKind::SplitUnder:
      case FaultKind::SplitOver:
      case FaultKind::Around:
      case FaultKind::Inject:
      case FaultKind::OffByOne:
      case FaultKind::DelayWithin:
      case FaultKind::DelayBeyond:
        stretch.answer = stretch.callWait = true;
        break;
      case FaultKind::EchoLoss:
        stretch.echo = stretch.lineEnd = true;
        break;
      case FaultKind::DialWithin:
      case FaultKind::DialBeyond:
        stretch.callWait = true;
        break;
    }
  }
  return stretch;
}

int64_t RunLimitMs(const RunPlan& plan, const modemsim::Profile& modem) {
  const Stretch stretch = StretchOf(plan);
  auto ask = [&](const Request& request) { return RequestMs(request, modem, stretch); };
  const Request diag{"AT*DIAG", false};
  // The scan: the diagnostic report, detection, name (two commands at most)
  // and firmware (the model's command or the generic one, the longer).
  int64_t total = kProgramMs + kOpenMs + kPurgeMs + kPurgeMs + ask(diag) + ask({"ATI0", false}) +
                  ask({"AT+GMM", true}) + ask({"ATI3", true}) +
                  std::max(ask({"AT*VER", true}), ask({"AT+GMR", true})) + kUnknownModelBoxMs;
  // Memory and checksum tests.
  total += kPurgeMs + ask({"AT*RAM", true}) + kPurgeMs + ask({"AT*CRC", true});
  if (!plan.dials) return total;
  // The test call: dial, wait for the result, hold, hang up, then the
  // diagnostic readout.
  int64_t callWaitMs = kCallWaitMs + kCallBurstMs;
  if (!stretch.callWait) {
    callWaitMs = std::min(callWaitMs, modem.dialDefault.front().delayMs + kCallPollMs + kCallBurstMs);
  }
  total += kPurgeMs + ask({std::string("ATDTW") + kSoakNumber, true, true, false}) + callWaitMs +
           kConnectTimeMs + kCallBurstMs + ask({"+++", false, false, true, kEscapeMs}) + ask({"ATH", false}) +
           kDtrMs + kPurgeMs + ask(diag);
  return total;
}

}  // namespace soak
