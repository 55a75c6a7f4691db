// The wire transcript: one flushed line per event, "<ms> <kind> <text>".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modemsim {

class Transcript {
 public:
  Transcript() = default;
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // Creates (truncates) the file. Without a successful Open every write is
  // dropped, which is how a run without --transcript behaves.
  bool Open(const std::string& path, std::string& error);

  // Times are milliseconds since the simulator started.
  void Received(int64_t ms, std::string_view bytes);  // "<" line, bytes escaped
  void Sent(int64_t ms, std::string_view bytes);      // ">" line, bytes escaped
  void Event(int64_t ms, std::string_view text);      // "#" line, text as given

 private:
  void WriteLine(int64_t ms, char kind, std::string_view text);

  int fd_ = -1;  // owned
};

}  // namespace modemsim
