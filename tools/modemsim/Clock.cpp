#include "Clock.h"

#include <chrono>

namespace modemsim {

int64_t MonotonicMs() {
  const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
}

}  // namespace modemsim
