#include "Exec.h"

#include "CommandQuoting.h"
#include "DebugLog.h"
#include "Journal.h"
#include "RunLog.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "ScriptTrace.h"
#include "ShellFunctions.h"
#include "usystem.h"

#include <cstdint>

namespace {

const size_t kFieldSize = 256;      // program and Exec field texts
const size_t kNumberSize = 16;      // level and run flags
const size_t kArgumentsSize = 1024;

void RunWithSavedDirectory(const char* program, const char* arguments, const char* workingDir, unsigned flags,
                           HWND window)
{
    char saved[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(sizeof(saved), saved);
    JournalProgramRan(program);  // what it changes cannot be undone
    StartExecProgram(program, arguments, workingDir, flags, window);
    if (length > 0 && length < sizeof(saved))
        SetCurrentDirectoryA(saved);
}

void RunExecSection(HINF script, const char* execSection, unsigned level, HWND window)
{
    INFCONTEXT line;
    if (!SetupFindFirstLineA(script, execSection, nullptr, &line))
        return;
    do {
        char number[kNumberSize];
        if (!ReadScriptField(&line, 1, number, sizeof(number)) || ScriptNumber(number) != level)
            continue;
        // The program and its folder are never cut: cut, they would name
        // another program (run, and deleted after the run with run flag 2).
        char program[kFieldSize], workingDir[MAX_PATH] = "";
        const FieldRead programRead = ReadWholeField(&line, 2, program, sizeof(program));
        if (programRead == FieldRead::TooLong)
            LogOverlongField(execSection, &line, 2, sizeof(program), "the program is not run");
        if (programRead != FieldRead::Read)
            continue;
        if (ReadWholeField(&line, 4, workingDir, sizeof(workingDir)) == FieldRead::TooLong) {
            LogOverlongField(execSection, &line, 4, sizeof(workingDir), "the program is not run");
            continue;
        }
        char arguments[kArgumentsSize] = "", flags[kNumberSize] = "0";
        const bool hasArguments = ReadScriptField(&line, 3, arguments, sizeof(arguments));
        ReadScriptField(&line, 5, flags, sizeof(flags));
        RunWithSavedDirectory(program, hasArguments ? arguments : nullptr, workingDir, ScriptNumber(flags),
                              window);
    } while (SetupFindNextLine(&line, &line));
}

}  // namespace

int RunExec(HINF script, const char* section, unsigned level, HWND window)
{
    INFCONTEXT key;
    if (!SetupFindFirstLineA(script, section, "Exec", &key))
        return 1;
    char field[kFieldSize];
    for (DWORD index = 1;; ++index) {
        const FieldRead read = ReadWholeField(&key, index, field, sizeof(field));
        if (read == FieldRead::Missing)
            break;
        if (read == FieldRead::TooLong) {
            LogOverlongField(section, &key, index, sizeof(field), "it is not run");
            continue;
        }
        if (field[0] == '@')
            StartExecProgram(field + 1, nullptr, nullptr, 0, window);
        else
            RunExecSection(script, field, level, window);
    }
    return 1;
}

int StartExecProgram(const char* program, const char* arguments, const char* workingDir, unsigned runFlags,
                     HWND window)
{
    char expanded[kArgumentsSize] = "";
    if (arguments != nullptr) {
        const uint32_t handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
        ExpandWindowPlaceholder(arguments, handle, expanded, sizeof(expanded));
    }
    ScriptTrace("exec: %s %s (flags %u)\n", program, expanded, runFlags);
    // A program named without a folder comes from the system folder, and
    // runs there unless the line names a working folder: the medium's folder
    // may hold a planted program of the same name.
    char path[MAX_PATH] = "", systemFolder[MAX_PATH] = "";
    const UINT systemLength = GetSystemDirectoryA(systemFolder, sizeof(systemFolder));
    if (!xUtilProgramPath(program, path, sizeof(path)) || systemLength == 0 || systemLength >= sizeof(systemFolder)) {
        DebugErrorPrint("error: cannot start %s\n", program);
        DebugReportError(ERROR_FILENAME_EXCED_RANGE);
        RunLogAction("run", program, "cannot start: the path is too long");
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }

    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    // No error dialog of the shell: a program that cannot start is skipped.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetDesktopWindow();
    info.lpFile = path;
    info.lpParameters = arguments != nullptr ? expanded : nullptr;
    info.lpDirectory = workingDir != nullptr && workingDir[0] != '\0' ? workingDir : systemFolder;
    info.nShow = SW_SHOWNORMAL;
    if (!shell::ExecuteEx(&info) || info.hProcess == nullptr) {
        const DWORD error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_FILE_NOT_FOUND;
        DebugErrorPrint("error: cannot start %s\n", program);
        DebugReportError(error);
        RunLogAction("run", path, "cannot start (error %lu)", error);
        SetLastError(error);
        return 0;
    }
    if (runFlags & kExecNoWait) {
        RunLogAction("run", path, "started, not waited for");
    } else {
        WaitForSingleObject(info.hProcess, INFINITE);
        DWORD exitCode = 0;
        const bool known = GetExitCodeProcess(info.hProcess, &exitCode) != FALSE;
        // Only a program the script named with its folder is deleted: a bare
        // name stands for the system's own program.
        const char* deleted = "";
        if ((runFlags & kExecDeleteAfter) && IsBareProgramName(program)) {
            DebugErrorPrint("exec: %s is a program of the system folder and is not deleted\n", program);
        } else if (runFlags & kExecDeleteAfter) {
            deleted = "; the program file is deleted";
            if (!DeleteFileA(path)) {
                DebugReportLastError();
                deleted = "; the program file cannot be deleted";
            }
        }
        if (known)
            RunLogAction("run", path, "exit code %lu%s", exitCode, deleted);
        else
            RunLogAction("run", path, "ended%s", deleted);
    }
    CloseHandle(info.hProcess);
    return 1;
}
