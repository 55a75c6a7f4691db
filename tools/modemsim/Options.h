// Command line of modemsim.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace modemsim {

constexpr int64_t kDefaultTimeLimitMs = 600000;

struct Options {
  std::string linkPath;        // --link: symlink made to the pty slave
  std::string profilePath;     // --profile
  std::string transcriptPath;  // --transcript; empty: no transcript
  std::string readyPath;       // --ready; empty: no ready file
  pid_t parentPid = 0;         // --parent; 0: not watched
  int64_t timeLimitMs = kDefaultTimeLimitMs;  // --time-limit, given in seconds
  std::vector<std::string> faultLines;  // --fault, repeatable: profile lines added after the file
  std::optional<uint64_t> seed;         // --seed: replaces the profile's seed
  bool help = false;           // --help
};

// Accepts "--name value" and "--name=value". Returns false with a message in
// `error` on an unknown option, a missing or bad value, or a missing
// required option.
bool ParseOptions(int argc, const char* const* argv, Options& options, std::string& error);

std::string UsageText();

}  // namespace modemsim
