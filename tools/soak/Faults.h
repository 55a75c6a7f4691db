// The faults a soak run of the modem test meets: drawn at random from a
// seed, written as modemsim profile lines (see tools/modemsim/README.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

enum class FaultKind {
  Garbage,          // garbage bytes between answers
  Flood,            // text at line speed without end
  Cut,              // an answer cut mid-line, the line gone for good
  CutBack,          // the same, the line coming back later
  SplitUnder,       // single-byte answers, gaps just under an inter-character limit
  SplitOver,        // ... just over it
  Around,           // NUL and other control bytes around answers
  Inject,           // NUL and 8-bit bytes inside answers
  OffByOne,         // the answer to the previous command
  DelayWithin,      // answers late, within the time limits
  DelayBeyond,      // answers late, beyond them
  EchoDelayWithin,  // echo late, within the echo limit
  EchoDelayBeyond,  // echo late, beyond it
  EchoLoss,         // echo of only some characters
  DialWithin,       // call result late, within the call wait
  DialBeyond,       // call result late, beyond it
};

constexpr int kFaultKinds = 16;
const char* FaultName(FaultKind kind);

struct Fault {
  FaultKind kind;
  std::string profileLine;  // the modemsim directive
};

// One soak run of the modem test: its seed, whether it dials, its faults.
struct RunPlan {
  uint64_t seed = 0;
  bool dials = false;
  std::vector<Fault> faults;
  bool Has(FaultKind kind) const;
};

// The phone number a dialling run passes with /T:.
constexpr char kSoakNumber[] = "0305550100";

// What a run may draw: `maxFaults` kinds at most (at least one), and
// whether some runs dial (the call adds at least ten seconds to a run).
struct FaultMenu {
  int maxFaults = 3;
  bool dialling = true;
};

// The run with seed `seed`: the same seed gives the same run.
RunPlan DrawRun(uint64_t seed, const FaultMenu& menu);

// The seed of run `index` of a soak with `soakSeed`.
uint64_t RunSeed(uint64_t soakSeed, int index);

// `text` as a quoted profile text: every byte but letters and digits as \xHH.
std::string ProfileQuoted(const std::string& text);

}  // namespace soak
