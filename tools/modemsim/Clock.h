// Monotonic time source for the event loop.
#pragma once

#include <cstdint>

namespace modemsim {

// Milliseconds of the steady (monotonic) clock; arbitrary origin, never goes back.
int64_t MonotonicMs();

}  // namespace modemsim
