// Reads a non-standard baud rate (BOTHER) through the termios2 interface.
// Kept apart because the kernel's termios2 header clashes with <termios.h>.
#pragma once

namespace modemsim {

// Output speed in bits per second from TCGETS2 on `fd`, or 0 when unavailable.
unsigned ReadCustomBaud(int fd);

}  // namespace modemsim
