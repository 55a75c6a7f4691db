// The pseudo-terminal that stands for the modem's serial port.
#pragma once

#include <string>

#include "LineSettings.h"

namespace modemsim {

class Pty {
 public:
  Pty() = default;
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  // Opens the master (non-blocking) and our own slave fd, and puts the slave
  // in raw mode. The slave fd stays open for the Pty's life so the master
  // never sees a hang-up (EIO) while the PC program has the port closed.
  bool Open(std::string& error);
  // Closes both ends: the PC program's port is hung up for good. Open makes
  // a new pty afterwards.
  void Close();
  bool IsOpen() const { return master_ >= 0; }
  // Bytes sent to the PC that its program has not read yet.
  int UnreadBytes() const;

  int MasterFd() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }

  // Current settings of the slave (tcgetattr on the master reads them).
  bool ReadLineSettings(LineSettings& settings) const;

 private:
  int master_ = -1;  // owned
  int slave_ = -1;   // owned; never read, only keeps the slave side alive
  std::string slavePath_;
};

}  // namespace modemsim
