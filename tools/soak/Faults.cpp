#include "Faults.h"

#include <algorithm>

#include "Random.h"

namespace soak {
namespace {

using modemsim::Random;

// Command lines of an automatic run against the sample definition file: the
// ones a cut or a flood can start on.
const char* const kCommands[] = {"AT*DIAG", "ATI0", "AT+GMM", "AT*VER", "AT*RAM", "AT*CRC", "ATDTW0305550100",
                                 "ATH"};

// Kinds that are one directive with different values: a run draws one of each pair.
const FaultKind kPairs[][2] = {
    {FaultKind::Cut, FaultKind::CutBack},
    {FaultKind::SplitUnder, FaultKind::SplitOver},
    {FaultKind::DelayWithin, FaultKind::DelayBeyond},
    {FaultKind::EchoDelayWithin, FaultKind::EchoDelayBeyond},
    {FaultKind::DialWithin, FaultKind::DialBeyond},
};

bool IsDialKind(FaultKind kind) { return kind == FaultKind::DialWithin || kind == FaultKind::DialBeyond; }

template <size_t N>
int Pick(Random& random, const int (&choices)[N]) {
  return choices[random.Between(0, static_cast<int>(N) - 1)];
}

const char* PickCommand(Random& random) {
  return kCommands[random.Between(0, static_cast<int>(sizeof(kCommands) / sizeof(kCommands[0])) - 1)];
}

// Bytes a modem should never send: NUL, control bytes, DEL and 8-bit bytes,
// with some letters among them.
std::string HostileBytes(Random& random, int least, int most) {
  std::string bytes;
  for (int i = random.Between(least, most); i > 0; --i) {
    switch (random.Between(0, 3)) {
      case 0: bytes += '\0'; break;
      case 1: bytes += static_cast<char>(random.Between(1, 31)); break;
      case 2: bytes += static_cast<char>(random.Between(0x7F, 0xFF)); break;
      default: bytes += static_cast<char>(random.Between('A', 'Z')); break;
    }
  }
  return bytes;
}

std::string Words(Random& random, int least, int most) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
  std::string text;
  for (int i = random.Between(least, most); i > 0; --i) text += kLetters[random.Between(0, 36)];
  return text;
}

std::string Number(int value) { return std::to_string(value); }

std::string ProfileLine(FaultKind kind, Random& random) {
  switch (kind) {
    case FaultKind::Garbage:
      return "garbage " + ProfileQuoted(HostileBytes(random, 1, 16)) + " after " + Number(random.Between(0, 400));
    case FaultKind::Flood: {
      std::string text = Words(random, 4, 32);
      if (random.Between(0, 1) == 1) text += "\r\n";
      std::string line = "flood " + ProfileQuoted(text);
      if (random.Between(0, 1) == 1) line += std::string(" on ") + PickCommand(random);
      return line + " rate " + Number(random.Between(0, 1) == 1 ? 11520 : random.Between(500, 11520));
    }
    case FaultKind::Cut:
      return std::string("cut ") + PickCommand(random) + " " + Number(random.Between(0, 24));
    case FaultKind::CutBack:
      return std::string("cut ") + PickCommand(random) + " " + Number(random.Between(0, 24)) + " back " +
             Number(random.Between(200, 5000));
    case FaultKind::SplitUnder: return "split " + Number(Pick(random, {90, 240}));
    case FaultKind::SplitOver: return "split " + Number(Pick(random, {110, 260}));
    case FaultKind::Around: return "around " + ProfileQuoted(HostileBytes(random, 1, 3));
    case FaultKind::Inject:
      return "inject " + ProfileQuoted(HostileBytes(random, 1, 2)) + " every " + Number(random.Between(1, 20));
    case FaultKind::OffByOne: return "off-by-one on";
    case FaultKind::DelayWithin: return "jitter 0 " + Number(random.Between(0, 200));
    case FaultKind::DelayBeyond:
      return random.Between(0, 1) == 1 ? "jitter 260 " + Number(random.Between(300, 1500))
                                       : "jitter 9000 " + Number(random.Between(10500, 12000));
    case FaultKind::EchoDelayWithin: return "echo-delay 0 " + Number(random.Between(0, 80));
    case FaultKind::EchoDelayBeyond:
      return random.Between(0, 1) == 1 ? "echo-delay 110 " + Number(random.Between(120, 700))
                                       : "echo-delay 2600 3000";
    case FaultKind::EchoLoss: return "echo-loss " + Number(random.Between(5, 60));
    case FaultKind::DialWithin: return "dial default delay " + Number(random.Between(2000, 58000)) + " connect";
    case FaultKind::DialBeyond: return "dial default delay " + Number(random.Between(61000, 75000)) + " connect";
  }
  return "";
}

}  // namespace

const char* FaultName(FaultKind kind) {
  static const char* const kNames[kFaultKinds] = {
      "garbage",     "flood",       "cut",          "cut-back",          "split-under",       "split-over",
      "around",      "inject",      "off-by-one",   "delay-within",      "delay-beyond",      "echo-delay-within",
      "echo-delay-beyond", "echo-loss", "dial-within", "dial-beyond"};
  return kNames[static_cast<int>(kind)];
}

bool RunPlan::Has(FaultKind kind) const {
  return std::any_of(faults.begin(), faults.end(), [kind](const Fault& fault) { return fault.kind == kind; });
}

uint64_t RunSeed(uint64_t soakSeed, int index) {
  Random random(soakSeed ^ (0x5DEECE66DULL * static_cast<uint64_t>(index + 1)));
  return random.Next() % 10000000000000000000ULL;  // at most 19 digits, as modemsim's seed
}

RunPlan DrawRun(uint64_t seed, const FaultMenu& menu) {
  Random random(seed);
  RunPlan plan;
  plan.seed = seed;
  plan.dials = menu.dialling && random.Between(0, 1) == 1;
  std::vector<FaultKind> open;
  for (int k = 0; k < kFaultKinds; ++k) {
    const auto kind = static_cast<FaultKind>(k);
    if (plan.dials || !IsDialKind(kind)) open.push_back(kind);
  }
  for (int count = random.Between(1, std::max(1, menu.maxFaults)); count > 0 && !open.empty(); --count) {
    const FaultKind kind = open[static_cast<size_t>(random.Between(0, static_cast<int>(open.size()) - 1))];
    plan.faults.push_back({kind, ProfileLine(kind, random)});
    open.erase(std::remove(open.begin(), open.end(), kind), open.end());
    for (const auto& pair : kPairs) {
      if (pair[0] == kind || pair[1] == kind) {
        open.erase(std::remove(open.begin(), open.end(), pair[0]), open.end());
        open.erase(std::remove(open.begin(), open.end(), pair[1]), open.end());
      }
    }
  }
  return plan;
}

std::string ProfileQuoted(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      quoted += static_cast<char>(c);
    } else {
      quoted += "\\x";
      quoted += kHex[c >> 4];
      quoted += kHex[c & 15];
    }
  }
  return quoted + "\"";
}

}  // namespace soak
