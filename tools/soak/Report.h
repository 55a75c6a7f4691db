// The table at the end of a soak: per fault (or mutation) drawn, how many
// runs drew it, how many failed, and its longest run against its limit.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace soak {

struct RunRecord {
  int index = 0;
  uint64_t seed = 0;
  std::vector<std::string> kinds;  // faults or mutations drawn
  std::string details;             // their profile lines or descriptions
  long exitCode = 0;
  int64_t elapsedMs = 0;
  int64_t limitMs = 0;             // with the margin
  std::vector<std::string> problems;
  std::vector<std::string> notes;  // worth knowing, not a failure of the program
};

class Report {
 public:
  void Add(const RunRecord& record);
  // The table, the exit codes seen and every failure with its seed.
  std::string Table(const std::string& title) const;
  int Failures() const;

 private:
  struct Row {
    int runs = 0;
    int failures = 0;
    const RunRecord* longest = nullptr;  // highest elapsed / limit
  };
  std::vector<RunRecord> records_;
};

}  // namespace soak
