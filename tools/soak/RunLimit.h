// The longest time the modem test's rules give an automatic run
// (mdmprobe /P:COM3 [/T:number]) against the sample definition file and the
// soak's modem, with the faults of a run plan. Each phase of each request
// counts with its rule's limit when a drawn fault can stretch it (a lost
// echo: every restart with its growing echo limit; a flood: the answer burst
// read for the whole request limit after the last poll), and otherwise with
// the modem's own timing from its profile plus the rule's waits.
#pragma once

#include <cstdint>

#include "Faults.h"
#include "Profile.h"

namespace soak {

// Which phases of the run the faults of a plan can stretch to their limits.
struct Stretch {
  bool echo = false;      // the character-by-character echo check
  bool lineEnd = false;   // the wait for the echoed line end
  bool answer = false;    // the answer collection of every request
  bool callWait = false;  // the wait for the call result
};

Stretch StretchOf(const RunPlan& plan);

// Milliseconds, without the soak's 10 % margin.
int64_t RunLimitMs(const RunPlan& plan, const modemsim::Profile& modem);

}  // namespace soak
