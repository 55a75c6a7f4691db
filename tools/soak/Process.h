// Starting the soak's Wine runs as child processes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace soak {

// Starts args[0] (a path) with `args`, the current environment plus
// `extraEnv` ("NAME=value", replacing a variable of that name), standard
// output and error into the two files. Returns the process id, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, const std::string& outPath,
            const std::string& errPath);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);

// "/a/b" -> "Z:\a\b", the path a Windows program under Wine uses.
std::string WinePath(const std::string& unixPath);

}  // namespace soak
