// The serial ports of the PC, read from the registry (never probed): on the
// NT family the values of HKLM\Hardware\DeviceMap\SerialComm, on Windows
// 95/98/Me the port instances under HKLM\Enum whose class entry marks them
// as serial ports.
#pragma once

#include "NameBlock.h"

// The port names in registry order, no two equal without regard to case, as
// one block of zero-terminated names ended by an empty one (CountNames and
// NameAt walk it). An empty list when no port is found; nullptr when the key
// to start from cannot be opened. The block is owned by this module and
// overwritten by the next call: one thread at a time (the port-scan worker).
const char* EnumSerialPorts();
