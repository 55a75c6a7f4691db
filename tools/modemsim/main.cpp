// modemsim: a simulated AT modem on a pseudo-terminal, for tests of programs
// that drive a modem through a serial port. See README.md.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "Clock.h"
#include "Link.h"
#include "Modem.h"
#include "Options.h"
#include "Profile.h"
#include "Pty.h"
#include "Simulator.h"
#include "Transcript.h"

namespace {

constexpr int kExitFailure = 1;   // the pty, link, transcript or ready file failed
constexpr int kExitBadInput = 2;  // bad arguments or a bad profile

volatile sig_atomic_t gStopSignal = 0;

void OnStopSignal(int signal) { gStopSignal = signal; }

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  text = content.str();
  return !file.bad();
}

bool CreateReadyFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "cannot create ready file " + path + ": " + std::strerror(errno);
    return false;
  }
  close(fd);
  return true;
}

// Blocks the stop signals outside ppoll() and installs their handler.
// `waitMask` receives the mask to use inside ppoll().
void SetUpSignals(sigset_t& waitMask) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stopSignals, signal);
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigdelset(&waitMask, signal);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a closed stdout must not kill the simulator
}

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "modemsim: %s\n", message.c_str());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace modemsim;
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    Fail(kExitBadInput, error);
    std::fputs(UsageText().c_str(), stderr);
    return kExitBadInput;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  // The real parent (the test runner) ending also ends the simulator.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  sigset_t waitMask;
  SetUpSignals(waitMask);

  std::string profileText;
  if (!ReadWholeFile(options.profilePath, profileText)) {
    return Fail(kExitBadInput, "cannot read profile " + options.profilePath);
  }
  // --fault lines follow the file's lines; an error in one names it by its
  // place among them.
  if (!options.faultLines.empty() && !profileText.empty() && profileText.back() != '\n') {
    profileText += '\n';
  }
  const int fileLines = static_cast<int>(std::count(profileText.begin(), profileText.end(), '\n'));
  for (const std::string& line : options.faultLines) profileText += line + "\n";
  Profile profile;
  ProfileError profileError;
  if (!ParseProfile(profileText, profile, profileError)) {
    if (profileError.line > fileLines) {
      return Fail(kExitBadInput, "--fault " + std::to_string(profileError.line - fileLines) + ": " +
                                     profileError.message);
    }
    return Fail(kExitBadInput, options.profilePath + ":" + std::to_string(profileError.line) +
                                   ": " + profileError.message);
  }
  if (options.seed) profile.faults.seed = *options.seed;

  const int64_t startMs = MonotonicMs();
  Transcript transcript;
  if (!options.transcriptPath.empty() && !transcript.Open(options.transcriptPath, error)) {
    return Fail(kExitFailure, error);
  }
  transcript.Event(0, "start");
  Pty pty;
  if (!pty.Open(error)) return Fail(kExitFailure, error);
  if (!CreateLink(options.linkPath, pty.SlavePath(), error)) return Fail(kExitFailure, error);
  transcript.Event(MonotonicMs() - startMs, "ready " + pty.SlavePath());
  std::printf("modemsim: ready %s\n", pty.SlavePath().c_str());
  std::fflush(stdout);
  // The ready file comes last: whoever waits for it may read the transcript
  // and the ready line at once.
  if (!options.readyPath.empty() && !CreateReadyFile(options.readyPath, error)) {
    RemoveLinkIfOurs(options.linkPath, pty.SlavePath());
    return Fail(kExitFailure, error);
  }

  Modem modem(std::move(profile));
  Simulator simulator(pty, options.linkPath, modem, transcript, options.parentPid,
                      options.timeLimitMs, startMs);
  const RunResult result = simulator.Run(gStopSignal, waitMask);
  transcript.Event(MonotonicMs() - startMs, "exit " + result.reason);
  RemoveLinkIfOurs(options.linkPath, pty.SlavePath());
  if (result.exitCode != 0) return Fail(result.exitCode, result.reason);
  return 0;
}
