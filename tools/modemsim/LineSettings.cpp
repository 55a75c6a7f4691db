#include "LineSettings.h"

namespace modemsim {
namespace {

struct SpeedEntry {
  speed_t code;
  unsigned baud;
};

constexpr SpeedEntry kSpeeds[] = {
    {B0, 0},           {B50, 50},         {B75, 75},           {B110, 110},
    {B134, 134},       {B150, 150},       {B200, 200},         {B300, 300},
    {B600, 600},       {B1200, 1200},     {B1800, 1800},       {B2400, 2400},
    {B4800, 4800},     {B9600, 9600},     {B19200, 19200},     {B38400, 38400},
    {B57600, 57600},   {B115200, 115200}, {B230400, 230400},   {B460800, 460800},
    {B500000, 500000}, {B576000, 576000}, {B921600, 921600},   {B1000000, 1000000},
    {B1152000, 1152000}, {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000},
    {B3000000, 3000000}, {B3500000, 3500000}, {B4000000, 4000000},
};

unsigned BaudOf(speed_t code) {
  for (const SpeedEntry& entry : kSpeeds) {
    if (entry.code == code) return entry.baud;
  }
  return 0;
}

}  // namespace

bool LineSettings::operator==(const LineSettings& other) const {
  return baud == other.baud && dataBits == other.dataBits && parity == other.parity &&
         stopBits == other.stopBits && crtscts == other.crtscts && ixon == other.ixon &&
         ixoff == other.ixoff;
}

LineSettings DecodeLineSettings(const termios& settings) {
  LineSettings line;
  line.baud = BaudOf(settings.c_cflag & (CBAUD | CBAUDEX));
  switch (settings.c_cflag & CSIZE) {
    case CS5: line.dataBits = 5; break;
    case CS6: line.dataBits = 6; break;
    case CS7: line.dataBits = 7; break;
    default: line.dataBits = 8; break;
  }
  if ((settings.c_cflag & PARENB) == 0) {
    line.parity = 'N';
  } else if ((settings.c_cflag & CMSPAR) != 0) {
    line.parity = (settings.c_cflag & PARODD) != 0 ? 'M' : 'S';
  } else {
    line.parity = (settings.c_cflag & PARODD) != 0 ? 'O' : 'E';
  }
  line.stopBits = (settings.c_cflag & CSTOPB) != 0 ? 2 : 1;
  line.crtscts = (settings.c_cflag & CRTSCTS) != 0;
  line.ixon = (settings.c_iflag & IXON) != 0;
  line.ixoff = (settings.c_iflag & IXOFF) != 0;
  return line;
}

std::string FormatLineSettings(const LineSettings& settings) {
  std::string text = std::to_string(settings.baud) + " " + std::to_string(settings.dataBits) +
                     settings.parity + std::to_string(settings.stopBits);
  text += settings.crtscts ? " crtscts" : " none";
  if (settings.ixon) text += " ixon";
  if (settings.ixoff) text += " ixoff";
  return text;
}

}  // namespace modemsim
