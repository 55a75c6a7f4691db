#include "Report.h"

#include <cstdio>

namespace soak {
namespace {

double Share(const RunRecord& record) {
  return record.limitMs > 0 ? static_cast<double>(record.elapsedMs) / static_cast<double>(record.limitMs) : 0.0;
}

std::string Longest(const RunRecord* record) {
  if (record == nullptr) return "-";
  char text[128];
  std::snprintf(text, sizeof(text), "%lld of %lld ms (%.0f %%, run %d)", static_cast<long long>(record->elapsedMs),
                static_cast<long long>(record->limitMs), 100.0 * Share(*record), record->index);
  return text;
}

}  // namespace

void Report::Add(const RunRecord& record) { records_.push_back(record); }

int Report::Failures() const {
  int failures = 0;
  for (const RunRecord& record : records_) failures += record.problems.empty() ? 0 : 1;
  return failures;
}

std::string Report::Table(const std::string& title) const {
  std::map<std::string, Row> rows;
  Row all;
  std::map<long, int> exits;
  auto count = [](Row& row, const RunRecord& record) {
    ++row.runs;
    row.failures += record.problems.empty() ? 0 : 1;
    if (row.longest == nullptr || Share(record) > Share(*row.longest)) row.longest = &record;
  };
  for (const RunRecord& record : records_) {
    for (const std::string& kind : record.kinds) count(rows[kind], record);
    count(all, record);
    ++exits[record.exitCode];
  }
  std::string text = title + "\n";
  char line[256];
  std::snprintf(line, sizeof(line), "%-20s %6s %8s  %s\n", "drawn", "runs", "failed", "longest run against its limit");
  text += line;
  for (const auto& [kind, row] : rows) {
    std::snprintf(line, sizeof(line), "%-20s %6d %8d  %s\n", kind.c_str(), row.runs, row.failures,
                  Longest(row.longest).c_str());
    text += line;
  }
  std::snprintf(line, sizeof(line), "%-20s %6d %8d  %s\n", "all runs", all.runs, all.failures,
                Longest(all.longest).c_str());
  text += line;
  text += "exit codes:";
  for (const auto& [code, runs] : exits) text += " " + std::to_string(code) + " (" + std::to_string(runs) + ")";
  text += "\n";
  for (const RunRecord& record : records_) {
    for (const std::string& note : record.notes) {
      text += "note: run " + std::to_string(record.index) + " seed " + std::to_string(record.seed) + ": " + note + "\n";
    }
  }
  if (Failures() == 0) return text + "failures: none\n";
  text += "failures:\n";
  for (const RunRecord& record : records_) {
    if (record.problems.empty()) continue;
    text += "  run " + std::to_string(record.index) + " seed " + std::to_string(record.seed) + " (" +
            record.details + "):\n";
    for (const std::string& problem : record.problems) text += "    " + problem + "\n";
  }
  return text;
}

}  // namespace soak
