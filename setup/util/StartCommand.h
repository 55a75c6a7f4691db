// The command line and working directory a program is started with. Plain
// text logic without windows.h.
#pragma once

#include <string>

struct StartCommand
{
    std::string commandLine;   // program (quoted when needed), a blank and the arguments
    std::string workingDir;    // the program's folder without its last backslash; may be empty
};

// A path quoted at both ends is used unchanged; a path with a blank is
// quoted; anything else is used as it is. Non-empty `arguments` (may be
// null) follow after one blank. The working directory is the path (without
// a leading quote) cut at its last backslash, empty when it has none.
StartCommand xUtilBuildStartCommand(const char* programPath, const char* arguments);
