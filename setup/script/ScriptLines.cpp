#include "ScriptLines.h"

#include "BufCopy.h"
#include "ComponentList.h"
#include "DebugLog.h"

#include <vector>

int ReadScriptField(INFCONTEXT* line, DWORD field, char* buffer, size_t size)
{
    if (size == 0 || size > MAXDWORD) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD needed = 0;
    if (SetupGetStringFieldA(line, field, buffer, static_cast<DWORD>(size), &needed))
        return 1;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return 0;
    // Longer than the caller's buffer: read it whole, keep what fits.
    std::vector<char> whole(needed);
    if (!SetupGetStringFieldA(line, field, whole.data(), needed, nullptr))
        return 0;
    BufSet(buffer, size, whole.data());
    return 1;
}

FieldRead ReadWholeField(INFCONTEXT* line, DWORD field, char* buffer, size_t size)
{
    if (size == 0 || size > MAXDWORD) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FieldRead::Missing;
    }
    if (SetupGetStringFieldA(line, field, buffer, static_cast<DWORD>(size), nullptr))
        return FieldRead::Read;
    buffer[0] = '\0';
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return FieldRead::Missing;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FieldRead::TooLong;
}

void LogOverlongField(const char* section, const INFCONTEXT* line, DWORD field, size_t size,
                      const char* consequence)
{
    DebugErrorPrint("setup: [%s] line %u: field %lu is longer than %u characters; %s\n", section,
                    static_cast<unsigned>(line->Line + 1), static_cast<unsigned long>(field),
                    static_cast<unsigned>(size - 1), consequence);
}

int FindLine(HINF script, const char* key, const char* section, DWORD field, char* buffer, size_t size)
{
    INFCONTEXT line;
    if (!SetupFindFirstLineA(script, section, key, &line))
        return 0;
    return ReadScriptField(&line, field, buffer, size);
}

int ProductField(HINF script, int index, DWORD field, char* buffer, size_t size, const char* productsSection)
{
    const char* name = ComponentListName(index);
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (field == 0) {
        BufSet(buffer, size, name);
        return 1;
    }
    return FindLine(script, name, productsSection, field, buffer, size);
}

bool SectionHasLines(HINF script, const char* section)
{
    return SetupGetLineCountA(script, section) > 0;
}
