#include "CommandQuoting.h"

#include <cctype>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    const std::string tail(suffix);
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = text[text.size() - tail.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != tail[i])
            return false;
    }
    return true;
}

bool HasProgramExtension(const std::string& path)
{
    for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
        if (EndsWithNoCase(path, extension))
            return true;
    }
    return false;
}

}  // namespace

CommandQuoting QuoteCommandProgram(const std::string& command, const FileExistsFn& exists, std::string* result)
{
    *result = command;
    if (!command.empty() && command[0] == '"')
        return command.find('"', 1) != std::string::npos ? CommandQuoting::Unchanged : CommandQuoting::Ambiguous;

    // The places where the program part may end: every blank, and the end.
    size_t firstBlank = std::string::npos;
    for (size_t i = 0; i < command.size(); ++i) {
        if (IsBlank(command[i])) {
            firstBlank = i;
            break;
        }
    }
    if (firstBlank == std::string::npos)
        return CommandQuoting::Unchanged;

    size_t programEnd = std::string::npos;
    for (size_t end = command.size(); end > 0; --end) {
        if (end != command.size() && !IsBlank(command[end]))
            continue;
        if (IsBlank(command[end - 1]))
            continue;  // a run of blanks: its first blank ends the piece
        // A piece before a blank counts only when it names a program by its
        // extension: "C:\Program" (or a planted "C:\Program.exe", which
        // Windows would try for it) never stands for "C:\Program Files\...".
        const std::string piece = command.substr(0, end);
        if ((end == command.size() || HasProgramExtension(piece)) && exists(piece)) {
            programEnd = end;
            break;
        }
    }
    if (programEnd == std::string::npos) {
        if (!HasProgramExtension(command.substr(0, firstBlank)))
            return CommandQuoting::Ambiguous;
        programEnd = firstBlank;
    }
    if (programEnd <= firstBlank)
        return CommandQuoting::Unchanged;
    *result = '"' + command.substr(0, programEnd) + '"' + command.substr(programEnd);
    return CommandQuoting::Quoted;
}

std::string QuoteProgramPath(const std::string& program)
{
    if (program.empty() || program[0] == '"')
        return program;
    for (char c : program) {
        if (IsBlank(c))
            return '"' + program + '"';
    }
    return program;
}

bool IsBareProgramName(const std::string& program)
{
    return !program.empty() && program.find_first_of("\\/:") == std::string::npos;
}
