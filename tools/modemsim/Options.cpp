#include "Options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace modemsim {
namespace {

constexpr double kMaxTimeLimitSeconds = 7 * 24 * 3600.0;

bool ParsePid(const std::string& text, pid_t& pid) {
  if (text.empty() || text.size() > 9) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value <= 0) return false;
  pid = static_cast<pid_t>(value);
  return true;
}

bool ParseSeed(const std::string& text, uint64_t& seed) {
  if (text.empty() || text.size() > 19) return false;
  seed = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    seed = seed * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

bool ParseSeconds(const std::string& text, int64_t& ms) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double seconds = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(seconds) ||
      seconds <= 0 || seconds > kMaxTimeLimitSeconds) {
    return false;
  }
  ms = static_cast<int64_t>(std::llround(seconds * 1000.0));
  return ms > 0;
}

}  // namespace

std::string UsageText() {
  return "usage: modemsim --link PATH --profile FILE [--transcript FILE] [--parent PID]\n"
         "                [--time-limit SECONDS] [--ready FILE] [--fault DIRECTIVE]... [--seed N]\n";
}

bool ParseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
  options = Options{};
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::string value;
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      hasValue = true;
    }
    if (name == "--help" || name == "-h") {
      options.help = true;
      return true;
    }
    const bool known = name == "--link" || name == "--profile" || name == "--transcript" ||
                       name == "--ready" || name == "--parent" || name == "--time-limit" ||
                       name == "--fault" || name == "--seed";
    if (!known) {
      error = "unknown option '" + name + "'";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (value.empty()) {
      error = name + " needs a non-empty value";
      return false;
    }
    if (name == "--link") {
      options.linkPath = value;
    } else if (name == "--profile") {
      options.profilePath = value;
    } else if (name == "--transcript") {
      options.transcriptPath = value;
    } else if (name == "--ready") {
      options.readyPath = value;
    } else if (name == "--fault") {
      options.faultLines.push_back(value);
    } else if (name == "--seed") {
      uint64_t seed = 0;
      if (!ParseSeed(value, seed)) {
        error = "--seed needs a whole number of at most 19 digits, got '" + value + "'";
        return false;
      }
      options.seed = seed;
    } else if (name == "--parent") {
      if (!ParsePid(value, options.parentPid)) {
        error = "--parent needs a process id, got '" + value + "'";
        return false;
      }
    } else if (!ParseSeconds(value, options.timeLimitMs)) {
      error = "--time-limit needs a positive number of seconds, got '" + value + "'";
      return false;
    }
  }
  if (options.linkPath.empty() || options.profilePath.empty()) {
    error = "--link and --profile are required";
    return false;
  }
  return true;
}

}  // namespace modemsim
