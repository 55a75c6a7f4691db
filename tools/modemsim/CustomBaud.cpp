#include "CustomBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace modemsim {

unsigned ReadCustomBaud(int fd) {
  struct termios2 settings {};
  if (ioctl(fd, TCGETS2, &settings) != 0) return 0;
  return settings.c_ospeed;
}

}  // namespace modemsim
