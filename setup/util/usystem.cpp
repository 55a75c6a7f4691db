#include "usystem.h"

#include "DebugLog.h"
#include "StartCommand.h"
#include "UtilTrace.h"

#include <vector>

namespace {

const char kSource[] = "usystem";
const char kStartProgram[] = "xUtilStartProgram";
const DWORD kIdleWaitMs = 10000;

}  // namespace

int xUtilStartProgram(const char* programPath, const char* arguments, unsigned waitFlags,
                      DWORD* exitCode)
{
    UtilTraceAt(kSource, 475, kStartProgram, "entering\n");
    const StartCommand command = xUtilBuildStartCommand(programPath, arguments);
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
        created = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
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
