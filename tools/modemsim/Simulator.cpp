#include "Simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Clock.h"
#include "Link.h"

namespace modemsim {
namespace {

constexpr int64_t kLinePollMs = 20;       // longest wait between checks of termios and parent
constexpr size_t kReadChunkBytes = 4096;  // one read() of the master
// A cut line goes once the PC has read what was sent before the cut (closing
// the pty discards what waits unread), or after kCutDrainMs at most. Bytes
// written to the master reach the slave's queue a moment later, so the queue
// counts only after kCutSettleMs.
constexpr int64_t kCutSettleMs = 50;
constexpr int64_t kCutDrainMs = 1000;

std::string SignalName(int signal) {
  switch (signal) {
    case SIGTERM: return "SIGTERM";
    case SIGINT: return "SIGINT";
    case SIGHUP: return "SIGHUP";
    default: return std::to_string(signal);
  }
}

}  // namespace

Simulator::Simulator(Pty& pty, const std::string& linkPath, Modem& modem, Transcript& transcript,
                     pid_t parentPid, int64_t timeLimitMs, int64_t startMs)
    : pty_(pty),
      linkPath_(linkPath),
      modem_(modem),
      transcript_(transcript),
      parentPid_(parentPid),
      timeLimitMs_(timeLimitMs),
      startMs_(startMs) {}

int64_t Simulator::Now() const { return MonotonicMs() - startMs_; }

void Simulator::CheckLine(int64_t nowMs) {
  LineSettings current;
  if (!pty_.ReadLineSettings(current)) return;
  if (haveLine_ && current == line_) return;
  haveLine_ = true;
  line_ = current;
  transcript_.Event(nowMs, "line " + FormatLineSettings(current));
}

void Simulator::Queue(std::vector<ModemOutput> outputs) {
  // Flood bytes that find the line still busy with earlier bytes are lost,
  // as on a real line whose receiver does not keep up.
  const bool backedUp = !pending_.empty();
  for (ModemOutput& output : outputs) {
    if (output.lossy && backedUp) continue;
    pending_.push_back(std::move(output));
  }
}

void Simulator::CutLine(int64_t nowMs) {
  lineGoingSinceMs_ = -1;
  RemoveLinkIfOurs(linkPath_, pty_.SlavePath());
  pty_.Close();
  pending_.clear();
  haveLine_ = false;
  transcript_.Event(nowMs, "line-gone");
  const int backMs = modem_.LineBackAfterMs();
  lineBackAtMs_ = backMs >= 0 ? nowMs + backMs : -1;
}

bool Simulator::BringLineBack(int64_t nowMs, std::string& error) {
  lineBackAtMs_ = -1;
  if (!pty_.Open(error) || !CreateLink(linkPath_, pty_.SlavePath(), error)) return false;
  modem_.LineBack();
  transcript_.Event(nowMs, "line-back " + pty_.SlavePath());
  return true;
}

bool Simulator::Flush(int64_t nowMs, std::string& error) {
  while (!pending_.empty()) {
    ModemOutput& item = pending_.front();
    if (item.kind == ModemOutput::Kind::Note) {
      transcript_.Event(nowMs, item.text);
      pending_.pop_front();
      continue;
    }
    if (item.kind == ModemOutput::Kind::LineGone) {
      if (lineGoingSinceMs_ < 0) lineGoingSinceMs_ = nowMs;
      const int64_t goingMs = nowMs - lineGoingSinceMs_;
      if ((goingMs >= kCutSettleMs && pty_.UnreadBytes() == 0) || goingMs >= kCutDrainMs) {
        CutLine(nowMs);
      }
      return true;
    }
    const ssize_t written = write(pty_.MasterFd(), item.text.data(), item.text.size());
    if (written < 0 && item.lossy && errno == EAGAIN) {
      pending_.pop_front();  // lost on a full line
      continue;
    }
    if (written < 0) {
      if (errno == EAGAIN || errno == EINTR) return true;  // retried on POLLOUT
      error = std::string("write to pty: ") + std::strerror(errno);
      return false;
    }
    transcript_.Sent(nowMs, std::string_view(item.text).substr(0, static_cast<size_t>(written)));
    item.text.erase(0, static_cast<size_t>(written));
    if (!item.text.empty() && !item.lossy) return true;  // rest waits for POLLOUT
    pending_.pop_front();
  }
  return true;
}

RunResult Simulator::Run(const volatile sig_atomic_t& stopSignal, const sigset_t& waitMask) {
  char buffer[kReadChunkBytes];
  int64_t masterPausedUntilMs = 0;  // after a hang-up on the master, skip it for a while
  bool masterHungUp = false;
  std::string error;
  for (;;) {
    int64_t nowMs = Now();
    if (stopSignal != 0) return {"signal " + SignalName(stopSignal), 0};
    if (parentPid_ > 0 && kill(parentPid_, 0) != 0 && errno == ESRCH) return {"parent-gone", 0};
    if (nowMs >= timeLimitMs_) return {"time-limit", 0};
    if (!pty_.IsOpen() && lineBackAtMs_ >= 0 && nowMs >= lineBackAtMs_ &&
        !BringLineBack(nowMs, error)) {
      return {"error " + error, 1};
    }
    CheckLine(nowMs);
    Queue(modem_.Advance(nowMs));
    if (!Flush(nowMs, error)) return {"error " + error, 1};

    int64_t timeoutMs = std::min(kLinePollMs, timeLimitMs_ - nowMs);
    if (const auto dueMs = modem_.NextDueMs()) timeoutMs = std::min(timeoutMs, *dueMs - nowMs);
    timeoutMs = std::max<int64_t>(timeoutMs, 0);
    pollfd master {};
    master.fd = nowMs < masterPausedUntilMs || !pty_.IsOpen() ? -1 : pty_.MasterFd();
    master.events = static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT));
    const timespec timeout {static_cast<time_t>(timeoutMs / 1000),
                            static_cast<long>(timeoutMs % 1000) * 1000000L};
    const int ready = ppoll(&master, 1, &timeout, &waitMask);
    if (ready < 0 && errno != EINTR) return {std::string("error ppoll: ") + std::strerror(errno), 1};
    if (ready < 0 || master.fd < 0) continue;

    nowMs = Now();
    bool hungUp = (master.revents & (POLLHUP | POLLERR)) != 0;
    if ((master.revents & POLLIN) != 0) {
      const ssize_t count = read(pty_.MasterFd(), buffer, sizeof(buffer));
      if (count > 0) {
        CheckLine(nowMs);  // a new setting is logged before the bytes sent with it
        const std::string_view bytes(buffer, static_cast<size_t>(count));
        transcript_.Received(nowMs, bytes);
        Queue(modem_.Receive(bytes, nowMs));
        hungUp = false;
      } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
        hungUp = true;
      }
    }
    // Only seen when no slave fd is open, which our own slave fd prevents;
    // logged once per episode, and the master is skipped for a while so a
    // lasting hang-up cannot make the loop spin.
    if (hungUp && !masterHungUp) transcript_.Event(nowMs, "pty-hangup");
    masterHungUp = hungUp;
    if (hungUp) masterPausedUntilMs = nowMs + kLinePollMs;
  }
}

}  // namespace modemsim
