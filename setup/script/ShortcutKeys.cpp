#include "Shortcuts.h"

#include "DebugLog.h"
#include "ScriptLines.h"

#include <cstdlib>

namespace {

// Buffers of the shortcut line fields (longer values are cut): the code is
// at most 15 characters, the texts at most 255.
const size_t kCodeBytes = 16;
const size_t kTextBytes = 256;

// A required field: present and not empty.
bool Required(INFCONTEXT* line, DWORD field, char* buffer, size_t size)
{
    return ReadScriptField(line, field, buffer, size) && buffer[0] != '\0';
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

void CreateFromLine(INFCONTEXT* line, int quiet)
{
    char code[kCodeBytes], name[kTextBytes], target[kTextBytes], arguments[kTextBytes], iconFile[kTextBytes];
    if (!Required(line, 1, code, sizeof(code)) || !Required(line, 2, name, sizeof(name))
        || !Required(line, 3, target, sizeof(target))) {
        DebugErrorPrint("shortcut line %u skipped: a required field is missing\n", static_cast<unsigned>(line->Line));
        return;
    }
    Optional(line, 4, arguments, sizeof(arguments));
    Optional(line, 5, iconFile, sizeof(iconFile));
    const int iconNumber = OptionalNumber(line, 6);
    const int openFolder = quiet ? 0 : OptionalNumber(line, 7);
    CreateShortcut(code, name, target, arguments, iconFile, iconNumber, openFolder);
}

void DeleteFromLine(INFCONTEXT* line, int)
{
    char code[kCodeBytes], name[kTextBytes];
    if (Required(line, 1, code, sizeof(code)) && Required(line, 2, name, sizeof(name)))
        DeleteShortcut(code, name);
}

// Runs `perLine` on every line of every section named by `key` of `section`.
void ForEachListedLine(HINF script, const char* section, const char* key, int quiet,
                       void (*perLine)(INFCONTEXT*, int))
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
