// benchrun: times installers against each other inside one Windows session
// (under Wine: one prefix, one running wineserver), for make bench.
//
//   benchrun RUNS WINDOW-RUNS  NAME FILES TARGET QUIET-COMMAND WINDOW-COMMAND  [NAME ...]
//
// One warm-up round (not counted) fills the file cache and starts Wine's
// services; then for every round 1..RUNS each installer (the order rotates)
// gets a removed target folder, is started with its unattended command line
// and timed until it ends; its exit code must be 0 and its target folder
// must then hold FILES files. Afterwards each is started WINDOW-RUNS times
// with its interactive command line (none when it is "-"), timed until the
// first visible top-level window of its process appears (polled every
// millisecond), and ended.
// Prints every time and, per installer, the medians; exit code 1 when an
// installer fails or a window does not appear within 60 s.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Installer
{
    std::string name;
    int files;
    std::string target, quiet, interactive;
    std::vector<double> installMs, windowMs;
};

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Removes a folder tree (best effort; a missing folder is fine).
void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

int CountFiles(const std::string& folder)
{
    int count = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        count += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + "\\" + name) : 1;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}

bool Start(const std::string& commandLine, PROCESS_INFORMATION* process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process) != 0;
}

void Close(PROCESS_INFORMATION& process)
{
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Unattended installation: milliseconds, or a negative value on failure.
double TimeInstall(const Installer& installer)
{
    RemoveTree(installer.target);
    PROCESS_INFORMATION process;
    const double start = NowMs();
    if (!Start(installer.quiet, &process)) {
        std::printf("%s: cannot start (error %lu)\n", installer.name.c_str(), GetLastError());
        return -1;
    }
    const bool ended = WaitForSingleObject(process.hProcess, 600000) == WAIT_OBJECT_0;
    const double elapsed = NowMs() - start;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (!ended) TerminateProcess(process.hProcess, 1);
    Close(process);
    const int files = CountFiles(installer.target);
    if (!ended || code != 0 || files != installer.files) {
        std::printf("%s: %s, exit code %lu, %d of %d files\n", installer.name.c_str(),
                    ended ? "ended" : "did not end in 10 minutes", code, files, installer.files);
        return -1;
    }
    return elapsed;
}

struct WindowSearch
{
    DWORD process;
    bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// Start to first visible window: milliseconds, or a negative value.
double TimeFirstWindow(const Installer& installer)
{
    PROCESS_INFORMATION process;
    const double start = NowMs();
    if (!Start(installer.interactive, &process)) return -1;
    double elapsed = -1;
    while (NowMs() - start < 60000) {
        WindowSearch search = {process.dwProcessId, false};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            elapsed = NowMs() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;  // ended without a window
    }
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 10000);
    Close(process);
    if (elapsed < 0) std::printf("%s: no window within 60 s\n", installer.name.c_str());
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 8 || (argc - 3) % 5 != 0) {
        std::fprintf(stderr, "usage: benchrun RUNS WINDOW-RUNS NAME FILES TARGET QUIET-COMMAND WINDOW-COMMAND ...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]), windowRuns = std::atoi(argv[2]);
    std::vector<Installer> installers;
    for (int i = 3; i + 4 < argc; i += 5)
        installers.push_back({argv[i], std::atoi(argv[i + 1]), argv[i + 2], argv[i + 3], argv[i + 4], {}, {}});

    for (int round = 0; round <= runs; ++round)
        for (size_t k = 0; k < installers.size(); ++k) {
            Installer& installer = installers[(round + k) % installers.size()];
            const double ms = TimeInstall(installer);
            if (ms < 0) return 1;
            if (round > 0) installer.installMs.push_back(ms);
            std::printf("%s %d  %-10s install %8.0f ms\n", round ? "round" : "warm-up", round,
                        installer.name.c_str(), ms);
            std::fflush(stdout);
        }
    for (Installer& installer : installers) {
        RemoveTree(installer.target);
        for (int i = 0; installer.interactive != "-" && i < windowRuns; ++i) {
            const double ms = TimeFirstWindow(installer);
            if (ms < 0) return 1;
            installer.windowMs.push_back(ms);
            std::printf("         %-10s first window %6.0f ms\n", installer.name.c_str(), ms);
            std::fflush(stdout);
        }
        RemoveTree(installer.target);
    }
    for (const Installer& installer : installers)
        std::printf("median %-10s install %8.0f ms  first window %6.0f ms\n", installer.name.c_str(),
                    Median(installer.installMs), Median(installer.windowMs));
    return 0;
}
