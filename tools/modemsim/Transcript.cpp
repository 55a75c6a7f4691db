#include "Transcript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Escape.h"

namespace modemsim {

Transcript::~Transcript() {
  if (fd_ >= 0) close(fd_);
}

bool Transcript::Open(const std::string& path, std::string& error) {
  fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    error = "cannot create transcript " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void Transcript::Received(int64_t ms, std::string_view bytes) {
  WriteLine(ms, '<', EscapeBytes(bytes));
}

void Transcript::Sent(int64_t ms, std::string_view bytes) { WriteLine(ms, '>', EscapeBytes(bytes)); }

void Transcript::Event(int64_t ms, std::string_view text) { WriteLine(ms, '#', text); }

void Transcript::WriteLine(int64_t ms, char kind, std::string_view text) {
  if (fd_ < 0) return;
  std::string line = std::to_string(ms);
  line += ' ';
  line += kind;
  line += ' ';
  line += text;
  line += '\n';
  // One write() per line so a reader never sees half of a line; loop only on
  // a short write (not expected for regular files).
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t written = write(fd_, line.data() + done, line.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

}  // namespace modemsim
