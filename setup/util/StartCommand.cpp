#include "StartCommand.h"

StartCommand xUtilBuildStartCommand(const char* programPath, const char* arguments)
{
    const std::string path(programPath ? programPath : "");
    StartCommand command;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        command.commandLine = path;
        command.workingDir = path.substr(1);
    } else if (path.find(' ') != std::string::npos) {
        command.commandLine = '"' + path + '"';
        command.workingDir = path;
    } else {
        command.commandLine = path;
        command.workingDir = path;
    }
    if (arguments != nullptr && arguments[0] != '\0') {
        command.commandLine += ' ';
        command.commandLine += arguments;
    }
    const size_t slash = command.workingDir.find_last_of('\\');
    command.workingDir.erase(slash == std::string::npos ? 0 : slash);
    return command;
}
