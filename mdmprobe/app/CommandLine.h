// The modem test's command line: "/P:" port, "/T:" telephone number,
// "/L:" log file, "/R:" result report and "/NODIALTONE".
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
    bool report = false;     // "/R:" was given ...
    std::string reportName;  // ... with this value (may be empty)
    bool noDialTone = false;
};

// Parses the raw command-line text that follows the program name.
// Switches are matched case-sensitively in exactly two spellings ("/P:" and
// "/p:"; the upper-case one is looked for first) and only their first
// occurrence counts. A value runs up to the next "/" or blank; quotes stay.
// "/NODIALTONE" or "/nodialtone" may stand anywhere but alone does not make
// a usable command line. "/R:" (or "/r:") adds the result report to the run
// and follows the same value rules; it does not make the run automatic: with
// none of the port, number or log switches the run is interactive, whatever
// else the command line holds.
CommandLineOptions ParseCommandLine(const std::string& commandLine);
