#include "ScriptLine.h"

int ScriptLineField(const INFCONTEXT* line, DWORD field, char* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    buffer[0] = '\0';
    INFCONTEXT copy = *line;  // the Setup API takes a non-const context
    if (!SetupGetStringFieldA(&copy, field, buffer, size, nullptr)) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

bool ScriptLineHasField(const INFCONTEXT* line, DWORD field)
{
    INFCONTEXT copy = *line;
    return field <= SetupGetFieldCount(&copy);
}
