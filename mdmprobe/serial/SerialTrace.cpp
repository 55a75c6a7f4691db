#include "SerialTrace.h"

#ifdef MDMPROBE_SERIAL_TRACE
#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {
SerialTraceSink g_sink = nullptr;
}

void SetSerialTraceSink(SerialTraceSink sink)
{
    g_sink = sink;
}

void SerialTrace(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (g_sink)
        g_sink(line);
    else
        OutputDebugStringA(line);
}
#endif
