#include "RunLog.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "ExitCodes.h"
#include "LogFileOpen.h"
#include "SetupVersion.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;  // opened on the main thread before any run thread starts
bool g_failed = false;                // a write failed once (said once in the debug log)

// Bytes of one line; a longer one is cut (a path is at most MAX_PATH, a
// registry value name 255 characters, far below this).
const size_t kLineSize = 2048;

void WriteLine(char* line, size_t length)
{
    if (length > kLineSize - 3)
        length = kLineSize - 3;
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written = 0;
    if ((!WriteFile(g_log, line, static_cast<DWORD>(length), &written, nullptr) || written != length) &&
        !g_failed) {
        g_failed = true;
        DebugErrorPrint("setup: the installation log cannot be written; the run goes on without it\n");
        DebugReportLastError();
    }
}

// "HH:MM:SS " at the start of `line`; returns its length.
size_t Stamp(char* line)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int length = BufFormat(line, kLineSize, "%02u:%02u:%02u ", now.wHour, now.wMinute, now.wSecond);
    return length > 0 ? static_cast<size_t>(length) : 0;
}

void PrintV(const char* prefix, const char* format, va_list args)
{
    if (g_log == INVALID_HANDLE_VALUE)
        return;
    char line[kLineSize];
    size_t length = Stamp(line);
    int more = BufFormat(line + length, kLineSize - length, "%s", prefix);
    length += more > 0 ? static_cast<size_t>(more) : 0;
    more = BufFormatV(line + length, kLineSize - length, format, args);
    length += more > 0 ? static_cast<size_t>(more) : 0;
    WriteLine(line, length);
}

void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintV("", format, args);
    va_end(args);
}

// "yes", "no", or "unknown" for the process token's elevation. Before
// Windows Vista every administrator runs with full rights: there, the
// membership of the Administrators group answers.
const char* Elevation()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return "unknown";
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const char* answer = "unknown";
    if (GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size)) {
        answer = elevation.TokenIsElevated ? "yes" : "no";
    } else {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID administrators = nullptr;
        BOOL member = FALSE;
        if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                     0, &administrators)) {
            if (CheckTokenMembership(nullptr, administrators, &member))
                answer = member ? "yes (administrator)" : "no";
            FreeSid(administrators);
        }
    }
    CloseHandle(token);
    return answer;
}

void WriteHeader()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    Print("===== setup %s, %04u-%02u-%02u (local time)", kSetupVersion, now.wYear, now.wMonth, now.wDay);
    Print("command line: %s", GetCommandLineA());
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExA(&version))
        Print("Windows: %lu.%lu build %lu%s%s", version.dwMajorVersion, version.dwMinorVersion,
              version.dwBuildNumber & 0xFFFF, version.szCSDVersion[0] != '\0' ? " " : "", version.szCSDVersion);
    char user[257] = "";
    DWORD size = sizeof(user);
    if (!GetUserNameA(user, &size))
        BufSet(user, sizeof(user), "(unknown)");
    Print("user: %s; elevated: %s", user, Elevation());
}

}  // namespace

bool RunLogOpen(const char* path)
{
    const char* refusal = nullptr;
    g_log = OpenPlainLogFile(path, true, &refusal);
    if (g_log == INVALID_HANDLE_VALUE) {
        if (refusal != nullptr) {
            DebugErrorPrint("setup: the installation log %s is refused: %s\n", path, refusal);
        } else {
            DebugErrorPrint("setup: the installation log %s cannot be opened; the run goes on without it\n", path);
            DebugReportLastError();
        }
        return false;
    }
    WriteHeader();
    return true;
}

bool RunLogOpened()
{
    return g_log != INVALID_HANDLE_VALUE;
}

void RunLogAction(const char* action, const char* subject, const char* detailFormat, ...)
{
    if (g_log == INVALID_HANDLE_VALUE)
        return;
    char prefix[kLineSize];
    BufFormat(prefix, sizeof(prefix), "%s %s%s", action, subject, detailFormat != nullptr ? "  " : "");
    if (detailFormat == nullptr) {
        Print("%s", prefix);
        return;
    }
    va_list args;
    va_start(args, detailFormat);
    PrintV(prefix, detailFormat, args);
    va_end(args);
}

void RunLogPrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintV("", format, args);
    va_end(args);
}

void RunLogClose(int exitCode)
{
    if (g_log == INVALID_HANDLE_VALUE)
        return;
    Print("exit %d (%s)", exitCode, ExitCodeMeaning(exitCode));
    CloseHandle(g_log);
    g_log = INVALID_HANDLE_VALUE;
}
