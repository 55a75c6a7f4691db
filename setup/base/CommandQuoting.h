// Command lines that Windows parses itself (a service's binary path, the
// run-once entry): an unquoted program path with a blank would be tried
// piece by piece ("C:\Program.exe", "C:\Program Files\Vantor\Modem.exe",
// ...), so a program planted at a blank would run instead. Plain text logic
// without windows.h.
#pragma once

#include <functional>
#include <string>

enum class CommandQuoting {
    Unchanged,  // quoted already, or no blank in the program part
    Quoted,     // the program part holds a blank and is now in quotes
    Ambiguous,  // the program part cannot be told from its arguments
};

// Whether a file exists at a (Windows) path; the caller's view of the disk.
using FileExistsFn = std::function<bool(const std::string& path)>;

// Makes the program part of `command` unambiguous and writes the result to
// `result`. A command that starts with a quote must have its closing quote
// (else Ambiguous). An unquoted command with blanks: its program part is the
// longest piece that names an existing file: the whole command, or a piece
// ending at a blank with a program extension (.exe, .com, .bat, .cmd). When
// none exists, the first piece counts if it has a program extension
// (Windows tries it first, so nothing planted can come before it); else the
// command is Ambiguous. A program part with a blank is quoted; the arguments
// follow unchanged.
CommandQuoting QuoteCommandProgram(const std::string& command, const FileExistsFn& exists, std::string* result);

// A program path (alone, without arguments) for a command line: quoted when
// it holds a blank and is not quoted yet.
std::string QuoteProgramPath(const std::string& program);

// Whether `program` names no folder (no backslash, slash or drive colon):
// such a name is taken from the system folder, never from the medium or the
// current folder.
bool IsBareProgramName(const std::string& program);
