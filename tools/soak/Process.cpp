#include "Process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace soak {

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, const std::string& outPath,
            const std::string& errPath) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    bool replaced = false;
    for (const std::string& extra : extraEnv) {
      const size_t equals = extra.find('=');
      replaced = replaced || text.compare(0, equals + 1, extra, 0, equals + 1) == 0;
    }
    if (!replaced) env.push_back(text);
  }
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> argv, envp;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int none = open("/dev/null", O_RDONLY);
  if (out < 0 || err < 0 || none < 0) _exit(127);
  dup2(none, 0);
  dup2(out, 1);
  dup2(err, 2);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  return static_cast<bool>(file);
}

std::string WinePath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace soak
