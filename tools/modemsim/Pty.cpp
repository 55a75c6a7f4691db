#include "Pty.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "CustomBaud.h"

namespace modemsim {

Pty::~Pty() { Close(); }

void Pty::Close() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  slave_ = master_ = -1;
  slavePath_.clear();
}

bool Pty::Open(std::string& error) {
  Close();
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    error = std::string("posix_openpt: ") + std::strerror(errno);
    return false;
  }
  char name[256] = {};
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
      ptsname_r(master_, name, sizeof(name)) != 0) {
    error = std::string("preparing the pty slave: ") + std::strerror(errno);
    return false;
  }
  slavePath_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    error = "open " + slavePath_ + ": " + std::strerror(errno);
    return false;
  }
  termios settings {};
  if (tcgetattr(slave_, &settings) != 0) {
    error = std::string("tcgetattr: ") + std::strerror(errno);
    return false;
  }
  cfmakeraw(&settings);
  if (tcsetattr(slave_, TCSANOW, &settings) != 0) {
    error = std::string("tcsetattr: ") + std::strerror(errno);
    return false;
  }
  const int flags = fcntl(master_, F_GETFL);
  if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
    error = std::string("fcntl O_NONBLOCK: ") + std::strerror(errno);
    return false;
  }
  return true;
}

int Pty::UnreadBytes() const {
  int count = 0;
  if (slave_ < 0 || ioctl(slave_, FIONREAD, &count) != 0) return 0;
  return count;
}

bool Pty::ReadLineSettings(LineSettings& settings) const {
  termios current {};
  if (tcgetattr(master_, &current) != 0) return false;
  settings = DecodeLineSettings(current);
  // An arbitrary rate (not a Bnnn constant) is only readable through termios2.
  if (settings.baud == 0 && (current.c_cflag & (CBAUD | CBAUDEX)) != B0) {
    settings.baud = ReadCustomBaud(master_);
  }
  return true;
}

}  // namespace modemsim
