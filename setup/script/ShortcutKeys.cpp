#include "Shortcuts.h"

#include "DebugLog.h"
#include "ScriptLines.h"

#include <cstdlib>

namespace {

// Buffers of the shortcut line fields: the code is at most 15 characters,
// the texts at most 255 (longer names and targets are refused, other
// fields cut).
const size_t kCodeBytes = 16;
const size_t kTextBytes = 256;

// A required field: present and not empty.
bool Required(INFCONTEXT* line, DWORD field, char* buffer, size_t size)
{
    return ReadScriptField(line, field, buffer, size) && buffer[0] != '\0';
}

// The shortcut's name or target: never cut, since a cut one names another
// shortcut or program. A value too long is logged with `consequence`.
FieldRead RequiredWhole(const char* section, INFCONTEXT* line, DWORD field, char* buffer, size_t size,
                        const char* consequence)
{
    FieldRead read = ReadWholeField(line, field, buffer, size);
    if (read == FieldRead::TooLong)
        LogOverlongField(section, line, field, size, consequence);
    else if (read == FieldRead::Read && buffer[0] == '\0')
        read = FieldRead::Missing;
    return read;
}

// An optional field: empty when missing.
void Optional(INFCONTEXT* line, DWORD field, char* buffer, size_t size)
{
    if (!ReadScriptField(line, field, buffer, size))
        buffer[0] = '\0';
}

int OptionalNumber(INFCONTEXT* line, DWORD field)
{
    char text[kTextBytes];
    Optional(line, field, text, sizeof(text));
    return std::atoi(text);
}

void CreateFromLine(const char* section, INFCONTEXT* line, int quiet)
{
    char code[kCodeBytes], name[kTextBytes], target[kTextBytes], arguments[kTextBytes], iconFile[kTextBytes];
    const char* notMade = "the shortcut is not made";
    const FieldRead nameRead = RequiredWhole(section, line, 2, name, sizeof(name), notMade);
    if (nameRead == FieldRead::TooLong)
        return;
    const FieldRead targetRead = RequiredWhole(section, line, 3, target, sizeof(target), notMade);
    if (targetRead == FieldRead::TooLong)
        return;
    if (!Required(line, 1, code, sizeof(code)) || nameRead != FieldRead::Read || targetRead != FieldRead::Read) {
        DebugErrorPrint("shortcut line %u skipped: a required field is missing\n", static_cast<unsigned>(line->Line));
        return;
    }
    Optional(line, 4, arguments, sizeof(arguments));
    Optional(line, 5, iconFile, sizeof(iconFile));
    const int iconNumber = OptionalNumber(line, 6);
    const int openFolder = quiet ? 0 : OptionalNumber(line, 7);
    CreateShortcut(code, name, target, arguments, iconFile, iconNumber, openFolder);
}

void DeleteFromLine(const char* section, INFCONTEXT* line, int)
{
    char code[kCodeBytes], name[kTextBytes];
    if (Required(line, 1, code, sizeof(code)) &&
        RequiredWhole(section, line, 2, name, sizeof(name), "no shortcut is deleted") == FieldRead::Read)
        DeleteShortcut(code, name);
}

// Runs `perLine` on every line of every section named by `key` of `section`.
void ForEachListedLine(HINF script, const char* section, const char* key, int quiet,
                       void (*perLine)(const char*, INFCONTEXT*, int))
{
    INFCONTEXT keyLine;
    if (!SetupFindFirstLineA(script, section, key, &keyLine))
        return;
    const DWORD count = SetupGetFieldCount(&keyLine);
    for (DWORD field = 1; field <= count; ++field) {
        char listed[kTextBytes];
        INFCONTEXT line;
        if (!ReadScriptField(&keyLine, field, listed, sizeof(listed))
            || !SetupFindFirstLineA(script, listed, nullptr, &line))
            continue;
        do {
            perLine(listed, &line, quiet);
        } while (SetupFindNextLine(&line, &line));
    }
}

}  // namespace

int ProcessShortcutKeys(HINF script, const char* section, int quiet)
{
    ForEachListedLine(script, section, "MakeIcons", quiet, CreateFromLine);
    ForEachListedLine(script, section, "DelIcons", quiet, DeleteFromLine);
    return 1;
}
