// Command-line option parsing for the debug log, and the choice of level and
// sinks from the "debug" option or the DEBUG environment variable. Plain text
// logic without windows.h, so it builds and is tested on the host too.
#pragma once

#include <string>
#include <vector>

// One option or positional argument of a command line.
struct DebugOption
{
    bool hasName = false;             // false for a positional argument
    std::string name;                 // text between "/" or "-" and the first ":" outside quotes
    bool hasValue = false;            // false for an option written without ":"
    std::vector<std::string> value;   // the value list; never holds an empty item
};

// Splits `text` into items at commas outside quotes (quotes counted per
// item). An item that starts and ends with a quote and holds at least two
// loses both; an item whose only quote is its first character loses it. An
// empty item ends the list: it and everything after it are dropped.
std::vector<std::string> DebugSplitList(const std::string& text);

// Splits a command line into tokens at blanks (space or tab) outside double
// quotes. A token that starts with "/" or "-" is an option; any other token
// is a positional argument whose value is the token with one pair of
// enclosing quotes, or a lone leading quote, removed. Records come in
// command-line order. `commandLine` may be null (no records).
std::vector<DebugOption> DebugParseOptions(const char* commandLine);

// What the debug log opens and filters by.
struct DebugSetup
{
    int level = 3;                    // messages above this level are dropped
    bool toStdout = false;            // write to standard output
    bool toDebugPipe = false;         // open the debug viewer's pipe (the caller adds it on NT only)
    std::vector<std::string> sinks;   // file or device names, in order
};

// Chooses level and sinks: the first "debug" option (any case) of
// `commandLine` if there is one, else the DEBUG variable's value
// (`debugVariable`, null when unset). A first item "0".."3" sets the level;
// "stdout" switches standard output on, "msdbg" does nothing, anything else
// is a sink name. With no setting left after the level, standard output and
// the debug pipe are the default.
DebugSetup DebugChooseSetup(const char* commandLine, const char* debugVariable);

// Whether a sink name names a device rather than a file, by its text alone:
// a name in the device namespaces ("\\.\", "\\?\", "\??\", with either
// slash), or one whose last component is a DOS device (CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM1..COM9, LPT1..LPT9) in any case, also with an
// extension, trailing blanks or a colon ("nul.log", "C:\\logs\\COM1 :"),
// which Windows opens as that device. The log refuses such names.
bool DebugNameIsDevice(const std::string& name);
