// soakrun: the Windows end of a soak run. Starts one program, waits for it
// with a time limit and tells how it ended, in one line on standard output:
//
//   soakrun [--register-modem NAME] LIMIT_MS PROGRAM [ARGS...]
//   soakrun: exit <code> after <ms> ms; <ended|killed at the limit>; debugger: <yes|no>; left: <names|none>
//
// <code> is the full 32-bit exit code, signed (Unix would show its low 8 bits
// only). A program still running at LIMIT_MS is ended ("killed at the
// limit"). "left" names the processes the program started that still run
// after it ended (they are ended then, so the Wine session can close), but
// Wine's own desktop and console processes;
// "debugger" tells whether Wine's debugger was started for a crash.
// --register-modem registers NAME as installed Windows modem 0000 first, as
// the modem's driver would. Exit code 0 after a run, 2 on bad arguments.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

const char kModemKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000";

bool RegisterModem(const char* name)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModemKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, "Model", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                                       static_cast<DWORD>(std::strlen(name) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// Milliseconds from the performance counter (Wine's tick count moves in 16 ms steps).
ULONGLONG NowMs()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<ULONGLONG>(count.QuadPart * 1000 / frequency.QuadPart);
}

std::string Quoted(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    return "\"" + argument + "\"";
}

struct Leftovers
{
    std::string names;
    bool debugger = false;
};

// Ends every process descended from `root` and names them; notes whether
// Wine's debugger runs anywhere in the session.
Leftovers EndDescendants(DWORD root)
{
    Leftovers found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    std::map<DWORD, std::pair<DWORD, std::string>> processes;  // id -> parent, name
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        processes[entry.th32ProcessID] = {entry.th32ParentProcessID, entry.szExeFile};
        if (_stricmp(entry.szExeFile, "winedbg.exe") == 0)
            found.debugger = true;
    }
    CloseHandle(snapshot);
    std::set<DWORD> family = {root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [id, process] : processes) {
            if (family.count(process.first) != 0 && family.insert(id).second)
                grew = true;
        }
    }
    family.erase(root);
    for (DWORD id : family) {
        // Wine's desktop and console hosts belong to the session, not to the program.
        const std::string& name = processes[id].second;
        if (_stricmp(name.c_str(), "explorer.exe") == 0 || _stricmp(name.c_str(), "conhost.exe") == 0)
            continue;
        found.names += (found.names.empty() ? "" : " ") + processes[id].second;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    int next = 1;
    const char* modem = nullptr;
    if (next + 1 < argc && std::string(argv[next]) == "--register-modem") {
        modem = argv[next + 1];
        next += 2;
    }
    char* end = nullptr;
    const unsigned long limitMs = next < argc ? std::strtoul(argv[next], &end, 10) : 0;
    if (next + 1 >= argc || end == argv[next] || *end != '\0' || limitMs == 0) {
        std::fprintf(stderr, "usage: soakrun [--register-modem NAME] LIMIT_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    if (modem && !RegisterModem(modem)) {
        std::fprintf(stderr, "soakrun: cannot register the modem\n");
        return 2;
    }
    std::string commandLine = Quoted(argv[next + 1]);
    for (int i = next + 2; i < argc; ++i)
        commandLine += " " + Quoted(argv[i]);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const ULONGLONG startMs = NowMs();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("soakrun: cannot start %s: error %lu\n", argv[next + 1], GetLastError());
        return 0;
    }
    CloseHandle(info.hThread);
    const bool ended = WaitForSingleObject(info.hProcess, limitMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    const ULONGLONG elapsedMs = NowMs() - startMs;
    DWORD exitCode = 0;
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hProcess);
    const Leftovers left = EndDescendants(info.dwProcessId);
    std::printf("soakrun: exit %ld after %llu ms; %s; debugger: %s; left: %s\n",
                static_cast<long>(static_cast<LONG>(exitCode)), elapsedMs, ended ? "ended" : "killed at the limit",
                left.debugger ? "yes" : "no", left.names.empty() ? "none" : left.names.c_str());
    std::fflush(stdout);
    return 0;
}
