// Full file name of the running program.
#pragma once

#include <string>

// Windows: GetModuleFileNameA of the program (at most 259 characters). Other
// systems (host tests): the executable's path.
std::string ModuleFilePath();

// `path` with its last four characters (the ".exe" extension) replaced by
// `extension` ("C:\Tools\probe.exe", ".log" -> "C:\Tools\probe.log"). A path
// shorter than four characters is replaced entirely.
std::string ReplaceExtension4(const std::string& path, const char* extension);
