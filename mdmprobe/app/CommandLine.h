// The modem test's command line: "/P:" port, "/T:" telephone number,
// "/L:" log file and "/NODIALTONE".
#pragma once

#include <string>

enum class StartMode
{
    Interactive,     // empty command line: the full wizard
    Automatic,       // at least one of the port, number or log switches
    BadCommandLine,  // text without any of those switches: end at once
};

struct CommandLineOptions
{
    StartMode mode = StartMode::Interactive;
    std::string port;
    std::string phoneNumber;
    std::string logName;
    bool noDialTone = false;
};

// Parses the raw command-line text that follows the program name.
// Switches are matched case-sensitively in exactly two spellings ("/P:" and
// "/p:"; the upper-case one is looked for first) and only their first
// occurrence counts. A value runs up to the next "/" or blank; quotes stay.
// "/NODIALTONE" or "/nodialtone" may stand anywhere but alone does not make
// a usable command line.
CommandLineOptions ParseCommandLine(const std::string& commandLine);
