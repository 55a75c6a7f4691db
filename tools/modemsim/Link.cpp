#include "Link.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace modemsim {

bool CreateLink(const std::string& linkPath, const std::string& target, std::string& error) {
  const std::string tempPath = linkPath + ".tmp." + std::to_string(getpid());
  unlink(tempPath.c_str());  // left over by a killed simulator with our pid
  if (symlink(target.c_str(), tempPath.c_str()) != 0) {
    error = "symlink " + tempPath + ": " + std::strerror(errno);
    return false;
  }
  if (rename(tempPath.c_str(), linkPath.c_str()) != 0) {
    error = "rename " + tempPath + " to " + linkPath + ": " + std::strerror(errno);
    unlink(tempPath.c_str());
    return false;
  }
  return true;
}

void RemoveLinkIfOurs(const std::string& linkPath, const std::string& target) {
  std::vector<char> buffer(target.size() + 2);
  const ssize_t length = readlink(linkPath.c_str(), buffer.data(), buffer.size());
  if (length < 0 || static_cast<size_t>(length) != target.size()) return;
  if (target.compare(0, target.size(), buffer.data(), static_cast<size_t>(length)) != 0) return;
  unlink(linkPath.c_str());
}

}  // namespace modemsim
