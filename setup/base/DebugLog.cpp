#include "DebugLog.h"

#include "DebugOptions.h"
#include "LogFileOpen.h"
#include "Lock.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

const int kMaxSinks = 16;
const char kDebugPipe[] = "\\\\.\\pipe\\debug";

// A line the debug viewer has not taken within this time closes its pipe for
// the rest of the run: a viewer that does not read, or a pipe server that
// only waits, then delays the run by this much once.
const DWORD kPipeWaitMs = 200;

// Written by DebugStart and DebugOpenFiles before other threads exist,
// read-only afterwards.
int g_level = 3;
bool g_toStdout = false;
FILE* g_sinks[kMaxSinks];
int g_sinkCount = 0;
bool g_closeRegistered = false;
std::vector<std::string> g_fileNames;  // the file sinks DebugOpenFiles opens

// The debug viewer's pipe, opened for overlapped writes. Threads write to it
// one at a time under the lock; the first write that is not taken in time
// closes it (its handle becomes INVALID_HANDLE_VALUE).
struct DebugPipe
{
    CLock lock;
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE written = nullptr;  // manual-reset event of the pending write
    OVERLAPPED overlapped = {};
};
DebugPipe* g_pipe = nullptr;  // created with the pipe, never freed (threads may still print at exit)

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

// Connects to the debug viewer's pipe when one listens. Identification level
// only: the viewer (any program of any user may create the pipe) can learn
// who writes, but cannot act as the installing administrator.
void OpenPipe()
{
    HANDLE handle = CreateFileA(kDebugPipe, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    HANDLE written = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DebugPipe* pipe = written ? new (std::nothrow) DebugPipe : nullptr;
    if (pipe == nullptr) {
        if (written)
            CloseHandle(written);
        CloseHandle(handle);
        return;
    }
    pipe->handle = handle;
    pipe->written = written;
    g_pipe = pipe;
}

typedef BOOL(WINAPI* CancelIoFn)(HANDLE);

// Writes `text` to the pipe, waiting at most kPipeWaitMs. A write not taken
// in time is cancelled and the pipe closed: true then (the caller says so on
// the other sinks). A pipe the viewer has closed is dropped quietly.
bool WriteToPipe(const std::string& text)
{
    if (g_pipe == nullptr)
        return false;
    // Windows 95 lacks CancelIo; the pipe is opened on the NT family only.
    static const CancelIoFn cancelIo = reinterpret_cast<CancelIoFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CancelIo")));
    DebugPipe& pipe = *g_pipe;
    CLockGuard guard(pipe.lock);
    if (pipe.handle == INVALID_HANDLE_VALUE)
        return false;
    pipe.overlapped = OVERLAPPED();
    pipe.overlapped.hEvent = pipe.written;
    ResetEvent(pipe.written);
    DWORD done = 0;
    bool keep = WriteFile(pipe.handle, text.data(), static_cast<DWORD>(text.size()), nullptr, &pipe.overlapped) != 0;
    bool stalled = false;
    if (!keep && GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(pipe.written, kPipeWaitMs) == WAIT_OBJECT_0) {
            keep = GetOverlappedResult(pipe.handle, &pipe.overlapped, &done, FALSE) != 0;
        } else {
            stalled = true;
            // The write must have ended before its record may be reused.
            if (cancelIo != nullptr && cancelIo(pipe.handle))
                GetOverlappedResult(pipe.handle, &pipe.overlapped, &done, TRUE);
        }
    }
    if (!keep) {
        CloseHandle(pipe.handle);
        pipe.handle = INVALID_HANDLE_VALUE;
    }
    return stalled;
}

// The formatted message with every "\n" as CR LF, as the text-mode sinks
// write it. False when memory runs out.
bool FormatForPipe(const char* format, va_list args, std::string* text)
{
    try {
        va_list copy;
        va_copy(copy, args);
        const int length = std::vsnprintf(nullptr, 0, format, copy);
        va_end(copy);
        if (length <= 0)
            return false;
        std::string plain(static_cast<size_t>(length) + 1, '\0');
        va_copy(copy, args);
        std::vsnprintf(&plain[0], plain.size(), format, copy);
        va_end(copy);
        plain.resize(static_cast<size_t>(length));
        text->clear();
        text->reserve(plain.size() + 16);
        for (char c : plain) {
            if (c == '\n')
                text->push_back('\r');
            text->push_back(c);
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Opens log file `name` for writing, truncated, when it is a plain file
// reached without a reparse point. Sets `*refusal` to the reason when the
// name is refused; a name that merely cannot be opened gives null without
// one (skipped silently, as before).
FILE* OpenLogFile(const char* name, const char** refusal)
{
    HANDLE file = OpenPlainLogFile(name, false, refusal);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    if (!SetEndOfFile(file)) {
        CloseHandle(file);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_TEXT);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = _fdopen(fd, "wt");
    if (stream == nullptr)
        _close(fd);
    return stream;
}

}  // namespace

int DebugStart(const char* commandLine)
{
    if (!g_closeRegistered) {
        std::atexit(CloseSinks);
        g_closeRegistered = true;
    }
    const DebugSetup setup = DebugChooseSetup(commandLine, std::getenv("DEBUG"));
    g_level = setup.level;
    if (setup.toStdout)
        g_toStdout = true;
    try {
        g_fileNames = setup.sinks;
    } catch (const std::bad_alloc&) {
        g_fileNames.clear();
    }
    if (setup.toDebugPipe && g_pipe == nullptr && IsWinNT())
        OpenPipe();
    return 1;
}

void DebugOpenFiles()
{
    // Refusals are written once every sink is open, so that files later in
    // the list get them too.
    std::vector<std::pair<std::string, const char*>> refused;
    for (const std::string& name : g_fileNames) {
        if (g_sinkCount >= kMaxSinks)
            break;
        const char* refusal = nullptr;
        if (FILE* stream = OpenLogFile(name.c_str(), &refusal)) {
            g_sinks[g_sinkCount++] = stream;
        } else if (refusal != nullptr) {
            try {
                refused.emplace_back(name, refusal);
            } catch (const std::bad_alloc&) {
            }
        }
    }
    g_fileNames.clear();
    for (const auto& entry : refused)
        DebugErrorPrint("debug log: %s is not written: %s\n", entry.first.c_str(), entry.second);
}

int DebugConfigure(const char* commandLine)
{
    DebugStart(commandLine);
    DebugOpenFiles();
    return 1;
}

bool DebugWrites(int level)
{
    return level <= g_level && (g_toStdout || g_sinkCount > 0 || g_pipe != nullptr);
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
    std::string text;
    if (g_pipe != nullptr && FormatForPipe(format, args, &text)) {
        if (WriteToPipe(text)) {
            DebugErrorPrint("debug log: %s took no text for %lu ms; it is closed and no longer written\n",
                            kDebugPipe, static_cast<unsigned long>(kPipeWaitMs));
        }
        // The count without the carriage returns, as the text-mode sinks count.
        written = 0;
        for (char c : text)
            written += c != '\r';
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
