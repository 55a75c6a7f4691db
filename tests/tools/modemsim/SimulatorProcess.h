// Test helper: runs the real modemsim binary in a private temporary folder,
// and plays the PC side of the serial port.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace modemsim {

class SimulatorProcess {
 public:
  // Makes the folder and writes `profileText` to ProfilePath().
  explicit SimulatorProcess(const std::string& profileText);
  ~SimulatorProcess();  // SIGTERM and reap if still running; removes the folder
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  // Starts modemsim with --link, --profile, --transcript, --ready, then
  // `extraArgs`; stdout and stderr go to files in the folder.
  void Start(const std::vector<std::string>& extraArgs = {});
  bool WaitReady(int timeoutMs) const;
  // Exit code (128 + signal when killed), or -1 if still running after timeoutMs.
  int WaitExit(int timeoutMs);
  void Signal(int signal) const;

  std::string LinkPath() const { return dir_ + "/com1"; }
  std::string ProfilePath() const { return dir_ + "/modem.profile"; }
  std::string Transcript() const;
  std::string Stdout() const;
  std::string Stderr() const;

 private:
  std::string dir_;
  pid_t pid_ = -1;  // -1 when not running
};

int64_t NowMs();
std::string ReadText(const std::string& path);
void SleepMs(int ms);

// Opens the port like a PC program: O_RDWR|O_NOCTTY, raw, 115200 8N1 crtscts.
// Returns -1 on failure.
int OpenPort(const std::string& path);

// Reads until the bytes read so far end with `expected` or timeoutMs passes;
// returns everything read.
std::string ReadUntil(int fd, const std::string& expected, int timeoutMs);

}  // namespace modemsim
