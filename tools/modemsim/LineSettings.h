// Serial line settings as set by the PC program on the pty slave.
#pragma once

#include <termios.h>

#include <string>

namespace modemsim {

struct LineSettings {
  unsigned baud = 0;  // bits per second; 0 when the speed is not known
  int dataBits = 8;
  char parity = 'N';  // N none, E even, O odd, M mark, S space
  int stopBits = 1;
  bool crtscts = false;
  bool ixon = false;
  bool ixoff = false;

  bool operator==(const LineSettings& other) const;
  bool operator!=(const LineSettings& other) const { return !(*this == other); }
};

// Decodes a termios. A speed code that is not a standard Bnnn constant (the
// kernel's BOTHER, an arbitrary rate) gives baud 0.
LineSettings DecodeLineSettings(const termios& settings);

// Transcript form, e.g. "115200 8N1 crtscts", "9600 7E1 none ixon ixoff".
std::string FormatLineSettings(const LineSettings& settings);

}  // namespace modemsim
