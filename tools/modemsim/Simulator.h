// The single-threaded event loop: moves bytes between the pty master and the
// Modem, records everything in the transcript, and decides when to stop.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "LineSettings.h"
#include "Modem.h"
#include "Pty.h"
#include "Transcript.h"

namespace modemsim {

struct RunResult {
  std::string reason;  // for the transcript's "exit" event
  int exitCode = 0;    // 0 for a normal end, 1 after a fatal I/O error
};

class Simulator {
 public:
  // All references must outlive the Simulator. `startMs` (MonotonicMs) is
  // time zero of the transcript and the Modem; `timeLimitMs` counts from it.
  // The pty is open and `linkPath` points to its slave; a line that the
  // modem cuts (and brings back) is closed (and made again) here.
  Simulator(Pty& pty, const std::string& linkPath, Modem& modem, Transcript& transcript,
            pid_t parentPid, int64_t timeLimitMs, int64_t startMs);

  // Runs until a stop signal (`stopSignal` set by a handler to its number),
  // until `parentPid` is gone, the time limit passes or I/O fails.
  // Stop signals must be blocked by the caller; `waitMask` is the signal mask
  // in force only while waiting in ppoll(), so a signal wakes the wait at once.
  RunResult Run(const volatile sig_atomic_t& stopSignal, const sigset_t& waitMask);

 private:
  int64_t Now() const;
  void CheckLine(int64_t nowMs);
  void Queue(std::vector<ModemOutput> outputs);
  bool Flush(int64_t nowMs, std::string& error);
  void CutLine(int64_t nowMs);
  bool BringLineBack(int64_t nowMs, std::string& error);

  Pty& pty_;
  const std::string linkPath_;
  Modem& modem_;
  Transcript& transcript_;
  pid_t parentPid_;
  int64_t timeLimitMs_;
  int64_t startMs_;
  bool haveLine_ = false;
  LineSettings line_;
  std::deque<ModemOutput> pending_;  // sends and notes not yet written, in order
  int64_t lineGoingSinceMs_ = -1;    // the line goes once the PC has read the last bytes
  int64_t lineBackAtMs_ = -1;        // while the line is gone: when it comes back (-1: never)
};

}  // namespace modemsim
