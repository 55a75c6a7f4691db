#include "SimulatorProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace modemsim {

int64_t NowMs() {
  const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
}

void SleepMs(int ms) { poll(nullptr, 0, ms); }

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

SimulatorProcess::SimulatorProcess(const std::string& profileText) {
  char pattern[] = "/tmp/modemsim-test-XXXXXX";
  if (mkdtemp(pattern) != nullptr) dir_ = pattern;
  std::ofstream(ProfilePath(), std::ios::binary) << profileText;
}

SimulatorProcess::~SimulatorProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    if (WaitExit(2000) < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  std::error_code ignored;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

void SimulatorProcess::Start(const std::vector<std::string>& extraArgs) {
  std::vector<std::string> args = {MODEMSIM_EXE,   "--link",  LinkPath(),
                                   "--profile",    ProfilePath(), "--transcript",
                                   dir_ + "/wire", "--ready", dir_ + "/ready"};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string outPath = dir_ + "/stdout";
  const std::string errPath = dir_ + "/stderr";
  pid_ = fork();
  if (pid_ == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
}

bool SimulatorProcess::WaitReady(int timeoutMs) const {
  const int64_t endMs = NowMs() + timeoutMs;
  while (access((dir_ + "/ready").c_str(), F_OK) != 0) {
    if (NowMs() >= endMs) return false;
    SleepMs(5);
  }
  return true;
}

int SimulatorProcess::WaitExit(int timeoutMs) {
  const int64_t endMs = NowMs() + timeoutMs;
  for (;;) {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (pid_ <= 0 || NowMs() >= endMs) return -1;
    SleepMs(5);
  }
}

void SimulatorProcess::Signal(int signal) const {
  if (pid_ > 0) kill(pid_, signal);
}

std::string SimulatorProcess::Transcript() const { return ReadText(dir_ + "/wire"); }
std::string SimulatorProcess::Stdout() const { return ReadText(dir_ + "/stdout"); }
std::string SimulatorProcess::Stderr() const { return ReadText(dir_ + "/stderr"); }

int OpenPort(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  termios settings {};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  cfsetispeed(&settings, B115200);
  cfsetospeed(&settings, B115200);
  settings.c_cflag |= CRTSCTS | CLOCAL | CREAD;
  if (tcsetattr(fd, TCSANOW, &settings) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string ReadUntil(int fd, const std::string& expected, int timeoutMs) {
  const int64_t endMs = NowMs() + timeoutMs;
  std::string got;
  auto done = [&] {
    return got.size() >= expected.size() &&
           got.compare(got.size() - expected.size(), expected.size(), expected) == 0;
  };
  while (!done()) {
    const int64_t leftMs = endMs - NowMs();
    if (leftMs <= 0) break;
    pollfd port {fd, POLLIN, 0};
    if (poll(&port, 1, static_cast<int>(leftMs)) <= 0) continue;
    char buffer[256];
    const ssize_t count = read(fd, buffer, sizeof(buffer));
    if (count > 0) {
      got.append(buffer, static_cast<size_t>(count));
    } else {
      SleepMs(5);  // hang-up or error: do not spin until the deadline
    }
  }
  return got;
}

}  // namespace modemsim
