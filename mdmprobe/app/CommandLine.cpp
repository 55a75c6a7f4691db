#include "CommandLine.h"

namespace {

// Position just after the first occurrence of `upper`, else of `lower`;
// npos when neither occurs.
size_t FindSwitch(const std::string& text, const char* upper, const char* lower)
{
    size_t at = text.find(upper);
    if (at == std::string::npos)
        at = text.find(lower);
    return at == std::string::npos ? at : at + 3;
}

std::string SwitchValue(const std::string& text, const char* upper, const char* lower)
{
    size_t start = FindSwitch(text, upper, lower);
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find_first_of("/ ", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::string& commandLine)
{
    CommandLineOptions options;
    if (commandLine.empty())
        return options;

    options.report = FindSwitch(commandLine, "/R:", "/r:") != std::string::npos;
    options.reportName = SwitchValue(commandLine, "/R:", "/r:");

    bool anyKnown = false;
    for (const char* known : {"/P:", "/p:", "/T:", "/t:", "/L:", "/l:"})
        anyKnown = anyKnown || commandLine.find(known) != std::string::npos;
    if (!anyKnown) {
        options.mode = options.report ? StartMode::Interactive : StartMode::BadCommandLine;
        return options;
    }

    options.mode = StartMode::Automatic;
    options.port = SwitchValue(commandLine, "/P:", "/p:");
    options.phoneNumber = SwitchValue(commandLine, "/T:", "/t:");
    options.logName = SwitchValue(commandLine, "/L:", "/l:");
    options.noDialTone = commandLine.find("/NODIALTONE") != std::string::npos ||
                         commandLine.find("/nodialtone") != std::string::npos;
    return options;
}
