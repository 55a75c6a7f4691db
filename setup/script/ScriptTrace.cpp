#include "ScriptTrace.h"

#include "BufCopy.h"
#include "DebugLog.h"

#include <cstdarg>

void ScriptTrace(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    BufFormatV(line, sizeof(line), format, args);
    va_end(args);
    DebugTrace(line);
}
