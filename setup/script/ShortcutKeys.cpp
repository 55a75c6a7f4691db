#include "Shortcuts.h"

#include "DebugLog.h"
#include "ScriptLine.h"

#include <cstdlib>

namespace {

// Buffers of the shortcut line fields: the code is at most 15 characters,
// the texts at most 255.
const DWORD kCodeBytes = 16;
const DWORD kTextBytes = 256;

// A required field: present, not empty and within its buffer.
bool Required(const INFCONTEXT* line, DWORD field, char* buffer, DWORD size)
{
    return ScriptLineField(line, field, buffer, size) && buffer[0] != '\0';
}

// An optional field: empty when missing; false when present but too long.
bool Optional(const INFCONTEXT* line, DWORD field, char* buffer, DWORD size)
{
    buffer[0] = '\0';
    return !ScriptLineHasField(line, field) || ScriptLineField(line, field, buffer, size);
}

int OptionalNumber(const INFCONTEXT* line, DWORD field)
{
    char text[kTextBytes];
    return Optional(line, field, text, sizeof(text)) ? std::atoi(text) : 0;
}

void CreateFromLine(const INFCONTEXT* line, int quiet)
{
    char code[kCodeBytes], name[kTextBytes], target[kTextBytes], arguments[kTextBytes], iconFile[kTextBytes];
    if (!Required(line, 1, code, sizeof(code)) || !Required(line, 2, name, sizeof(name))
        || !Required(line, 3, target, sizeof(target)) || !Optional(line, 4, arguments, sizeof(arguments))
        || !Optional(line, 5, iconFile, sizeof(iconFile))) {
        DebugErrorPrint("shortcut line %u skipped: a field is missing or too long\n",
                        static_cast<unsigned>(line->Line));
        return;
    }
    const int iconNumber = OptionalNumber(line, 6);
    const int openFolder = quiet ? 0 : OptionalNumber(line, 7);
    CreateShortcut(code, name, target, arguments, iconFile, iconNumber, openFolder);
}

void DeleteFromLine(const INFCONTEXT* line, int)
{
    char code[kCodeBytes], name[kTextBytes];
    if (Required(line, 1, code, sizeof(code)) && Required(line, 2, name, sizeof(name)))
        DeleteShortcut(code, name);
}

// Runs `perLine` on every line of every section named by `key` of `section`.
void ForEachListedLine(HINF script, const char* section, const char* key, int quiet,
                       void (*perLine)(const INFCONTEXT*, int))
{
    INFCONTEXT keyLine;
    if (!SetupFindFirstLineA(script, section, key, &keyLine))
        return;
    const DWORD count = SetupGetFieldCount(&keyLine);
    for (DWORD field = 1; field <= count; ++field) {
        char listed[kTextBytes];
        INFCONTEXT line;
        if (!ScriptLineField(&keyLine, field, listed, sizeof(listed))
            || !SetupFindFirstLineA(script, listed, nullptr, &line))
            continue;
        do {
            perLine(&line, quiet);
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
