#include "DebugLog.h"

#include "DebugOptions.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kMaxSinks = 16;
const char kDebugPipe[] = "\\\\.\\pipe\\debug";

// Written by DebugConfigure before other threads exist, read-only afterwards.
int g_level = 3;
bool g_toStdout = false;
FILE* g_sinks[kMaxSinks];
int g_sinkCount = 0;
bool g_closeRegistered = false;

int SilentTrace(const char*)
{
    return 0;
}

DebugTraceHook g_traceHook = SilentTrace;

void CloseSinks()
{
    for (int i = 0; i < g_sinkCount; ++i)
        std::fclose(g_sinks[i]);
    g_sinkCount = 0;
}

bool IsWinNT()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Files are created or truncated; a pipe or device refuses create and
// truncate with EINVAL and is opened as it is. Failures are skipped silently.
void OpenSink(const char* name)
{
    if (g_sinkCount >= kMaxSinks)
        return;
    int fd = _open(name, _O_WRONLY | _O_TEXT | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EINVAL)
        fd = _open(name, _O_WRONLY | _O_TEXT);
    if (fd < 0)
        return;
    FILE* stream = _fdopen(fd, "wt");
    if (stream == nullptr) {
        _close(fd);
        return;
    }
    g_sinks[g_sinkCount++] = stream;
}

}  // namespace

int DebugConfigure(const char* commandLine)
{
    if (!g_closeRegistered) {
        std::atexit(CloseSinks);
        g_closeRegistered = true;
    }
    const DebugSetup setup = DebugChooseSetup(commandLine, std::getenv("DEBUG"));
    g_level = setup.level;
    if (setup.toStdout)
        g_toStdout = true;
    for (const std::string& name : setup.sinks)
        OpenSink(name.c_str());
    if (setup.toDebugPipe && IsWinNT())
        OpenSink(kDebugPipe);
    return 1;
}

bool DebugWrites(int level)
{
    return level <= g_level && (g_toStdout || g_sinkCount > 0);
}

int DebugPrintV(int level, const char* format, va_list args)
{
    if (level > g_level)
        return 0;
    int written = 0;
    if (g_toStdout) {
        va_list copy;
        va_copy(copy, args);
        written = std::vfprintf(stdout, format, copy);
        va_end(copy);
        std::fflush(stdout);
    }
    for (int i = 0; i < g_sinkCount; ++i) {
        va_list copy;
        va_copy(copy, args);
        written = std::vfprintf(g_sinks[i], format, copy);
        va_end(copy);
        std::fflush(g_sinks[i]);
    }
    return written;
}

int DebugPrint(int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = DebugPrintV(level, format, args);
    va_end(args);
    return written;
}

int DebugErrorPrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = DebugPrintV(kDebugError, format, args);
    va_end(args);
    return written;
}

void DebugReportError(DWORD code)
{
    // The system's message table is read only for a line that is written.
    if (!DebugWrites(kDebugError))
        return;
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
    // The system text ends with CR LF; the sinks are text streams that turn
    // "\n" into CR LF themselves, so the line ends once, also for a code the
    // system has no text for.
    size_t length = text ? std::strlen(text) : 0;
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
        --length;
    DebugErrorPrint("Error number %i: %.*s\n", static_cast<int>(code), static_cast<int>(length),
                    text ? text : "");
    if (text)
        LocalFree(text);
}

void DebugReportLastError()
{
    DebugReportError(GetLastError());
}

int DebugTrace(const char* text)
{
    return g_traceHook(text);
}

bool DebugTraceBound()
{
    return g_traceHook != SilentTrace;
}

DebugTraceHook DebugSetTraceHook(DebugTraceHook hook)
{
    DebugTraceHook previous = g_traceHook;
    g_traceHook = hook ? hook : SilentTrace;
    return previous;
}
