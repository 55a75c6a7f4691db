#include "usystem.h"

#include "BufCopy.h"
#include "CommandQuoting.h"
#include "DebugLog.h"
#include "StartCommand.h"
#include "UtilTrace.h"

#include <string>
#include <vector>

namespace {

const char kSource[] = "usystem";
const char kStartProgram[] = "xUtilStartProgram";
const DWORD kIdleWaitMs = 10000;

}  // namespace

int xUtilProgramPath(const char* program, char* path, size_t size)
{
    std::string name(program != nullptr ? program : "");
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    if (!IsBareProgramName(name))
        return BufSet(path, size, name.c_str()) == name.size() ? 1 : 0;
    char system[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(system, sizeof(system));
    if (length == 0 || length >= sizeof(system))
        return 0;
    std::string full = std::string(system) + "\\" + name;
    if (name.find('.') == std::string::npos && GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES)
        full += ".exe";
    return BufSet(path, size, full.c_str()) == full.size() ? 1 : 0;
}

int xUtilStartProgram(const char* programPath, const char* arguments, unsigned waitFlags,
                      DWORD* exitCode)
{
    UtilTraceAt(kSource, 475, kStartProgram, "entering\n");
    char program[MAX_PATH] = "";
    if (!xUtilProgramPath(programPath, program, sizeof(program))) {
        UtilErrorAt(kSource, 547, kStartProgram, "CreateProcess() failed\n");
        DebugReportError(ERROR_FILENAME_EXCED_RANGE);
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    const StartCommand command = xUtilBuildStartCommand(program, arguments);
    UtilTraceAt(kSource, 508, kStartProgram, "calling CreateProcess() ...\nCommandLine: %s\nWorkingDir: %s\n",
                command.commandLine.c_str(), command.workingDir.c_str());

    // CreateProcessA may write into the command line.
    std::vector<char> commandLine(command.commandLine.begin(), command.commandLine.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    BOOL created = FALSE;
    if (command.workingDir.size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    } else {
        created = CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 command.workingDir.empty() ? nullptr : command.workingDir.c_str(),
                                 &startup, &process);
    }
    if (!created) {
        const DWORD error = GetLastError();
        UtilErrorAt(kSource, 547, kStartProgram, "CreateProcess() failed\n");
        DebugReportError(error);
        SetLastError(error);
        return 0;
    }

    if (waitFlags & kStartWaitForExit) {
        UtilTraceAt(kSource, 522, kStartProgram, "CreateProcess() successfull, waiting for process to exit ...\n");
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        UtilTraceAt(kSource, 525, kStartProgram, "process finished with exit code %d\n", static_cast<int>(code));
        if (exitCode != nullptr)
            *exitCode = code;
    } else if (waitFlags & kStartWaitForIdle) {
        UtilTraceAt(kSource, 532, kStartProgram,
                    "CreateProcess() successfull, waiting for process to become idle ...\n");
        WaitForInputIdle(process.hProcess, kIdleWaitMs);
    } else {
        UtilTraceAt(kSource, 537, kStartProgram, "CreateProcess() successfull\n");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

bool xUtilIsWinNT()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void xUtilEnterSystemFolder()
{
    char path[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(path, sizeof(path));
    if (length > 0 && length < sizeof(path))
        SetCurrentDirectoryA(path);
}
