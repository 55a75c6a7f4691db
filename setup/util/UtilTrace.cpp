#include "UtilTrace.h"

#include "BufCopy.h"
#include "DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// The position and the message joined, so that each line is one write and
// lines of different threads cannot interleave.
std::string FormatLine(const char* file, int line, const char* function, const char* format,
                       va_list args)
{
    char prefix[160];
    BufFormat(prefix, sizeof(prefix), ".\\%s(%d) : %s(): ", file, line, function);
    std::string text(prefix);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        const size_t start = text.size();
        text.resize(start + static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[start], static_cast<size_t>(length) + 1, format, args);
        text.resize(start + static_cast<size_t>(length));
    }
    return text;
}

}  // namespace

void UtilTraceAt(const char* file, int line, const char* function, const char* format, ...)
{
    // The delivered binding writes nothing: no line to build then.
    if (!DebugTraceBound())
        return;
    va_list args;
    va_start(args, format);
    const std::string text = FormatLine(file, line, function, format, args);
    va_end(args);
    DebugTrace(text.c_str());
}

void UtilErrorAt(const char* file, int line, const char* function, const char* format, ...)
{
    if (!DebugWrites(kDebugError))
        return;
    va_list args;
    va_start(args, format);
    const std::string text = FormatLine(file, line, function, format, args);
    va_end(args);
    DebugErrorPrint("%s", text.c_str());
}
