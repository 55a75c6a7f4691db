// Test helper: runs a Modem from profile text with injected time and records
// what it sends (with the time it was due) and the events it notes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Modem.h"
#include "Profile.h"

namespace modemsim {

inline Profile ParseOrFail(const std::string& text) {
  Profile profile;
  ProfileError error;
  if (!ParseProfile(text, profile, error)) {
    ADD_FAILURE() << "profile line " << error.line << ": " << error.message;
  }
  return profile;
}

class ModemDriver {
 public:
  struct Sent {
    int64_t ms;
    std::string bytes;
  };

  explicit ModemDriver(const std::string& profileText) : modem_(ParseOrFail(profileText)) {}

  // Runs the timers up to `ms`, then feeds `bytes` at `ms`; returns everything
  // sent at `ms` (due items, echo, zero-delay answers).
  std::string Type(const std::string& bytes, int64_t ms) {
    RunUntil(ms);
    const size_t first = sent_.size();
    Record(modem_.Receive(bytes, ms), ms);
    return JoinFrom(first);
  }

  // Runs everything due up to `ms`; returns what was sent meanwhile.
  std::string RunUntil(int64_t ms) {
    const size_t first = sent_.size();
    for (auto due = modem_.NextDueMs(); due && *due <= ms; due = modem_.NextDueMs()) {
      Record(modem_.Advance(*due), *due);
    }
    return JoinFrom(first);
  }

  bool Noted(const std::string& note) const {
    for (const std::string& n : notes_) {
      if (n == note) return true;
    }
    return false;
  }

  Modem& Get() { return modem_; }
  const std::vector<Sent>& AllSent() const { return sent_; }

 private:
  void Record(const std::vector<ModemOutput>& outputs, int64_t ms) {
    for (const ModemOutput& output : outputs) {
      if (output.kind == ModemOutput::Kind::Send) {
        sent_.push_back({ms, output.text});
      } else {
        notes_.push_back(output.text);
      }
    }
  }
  std::string JoinFrom(size_t first) const {
    std::string joined;
    for (size_t i = first; i < sent_.size(); ++i) joined += sent_[i].bytes;
    return joined;
  }

  Modem modem_;
  std::vector<Sent> sent_;
  std::vector<std::string> notes_;
};

}  // namespace modemsim
