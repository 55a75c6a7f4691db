#include "WinTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace testsupport {

std::string UnixToWinPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string NoSandboxReason(const std::string& needs)
{
    const std::string isolation = Env("WINETEST_ISOLATION");
    if (isolation == "sandbox")
        return "";
    if (isolation == "no-namespaces")
        return "this machine: the kernel refuses bubblewrap its namespaces, and " + needs +
               " needs the sandbox";
    return "no sandbox (isolation '" + isolation + "': bubblewrap is missing, make deps installs it), and " +
           needs + " needs the sandbox";
}

std::vector<PendingOperation> PendingOperations()
{
    std::vector<PendingOperation> list;
    std::string data(1 << 20, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                     "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, &data[0], &size) != ERROR_SUCCESS)
        return list;
    data.resize(size);
    const auto bare = [](const std::string& path) { return path.compare(0, 4, "\\??\\") == 0 ? path.substr(4) : path; };
    // Pairs of NUL-terminated strings; the list ends with an empty string.
    for (size_t at = 0; at < data.size() && data[at] != '\0';) {
        const std::string source = data.c_str() + at;
        at += source.size() + 1;
        std::string target = at < data.size() ? data.c_str() + at : "";
        at += target.size() + 1;
        const bool replaces = !target.empty() && target[0] == '!';
        if (replaces)
            target.erase(0, 1);
        list.push_back({bare(source), bare(target), replaces});
    }
    return list;
}

size_t PendingDeletion(const std::vector<PendingOperation>& list, const std::string& path)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].target.empty() && lstrcmpiA(list[i].source.c_str(), path.c_str()) == 0)
            return i;
    }
    return std::string::npos;
}

size_t PendingRenameOnto(const std::vector<PendingOperation>& list, const std::string& path)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i].target.empty() && lstrcmpiA(list[i].target.c_str(), path.c_str()) == 0)
            return i;
    }
    return std::string::npos;
}

std::string ReadFileBytes(const std::string& path, bool* ok)
{
    std::ifstream in(path, std::ios::binary);
    if (ok)
        *ok = static_cast<bool>(in);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ModuleDir()
{
    char path[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string dir(path, n < sizeof(path) ? n : 0);
    size_t slash = dir.find_last_of('\\');
    return slash == std::string::npos ? dir : dir.substr(0, slash);
}

std::string RunDir()
{
    std::string base = Env("WINETEST_RUN_DIR");
    return base.empty() ? ModuleDir() : UnixToWinPath(base);
}

bool SetRegistryText(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

DWORD PreciseMs()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<DWORD>(count.QuadPart * 1000 / frequency.QuadPart);
}

ChildProcess::~ChildProcess()
{
    Kill();
    if (info_.hThread)
        CloseHandle(info_.hThread);
    if (info_.hProcess)
        CloseHandle(info_.hProcess);
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& workDir)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &startup, &info_) != 0;
}

bool ChildProcess::Wait(DWORD ms, DWORD* exitCode)
{
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

void ChildProcess::Kill()
{
    if (info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

ProgramCopy::ProgramCopy(const std::string& source, const std::string& folder, const std::string& exeName)
{
    dir_ = RunDir() + "\\" + folder;
    CreateDirectoryA(dir_.c_str(), nullptr);
    exe_ = dir_ + "\\" + exeName;
    copied_ = CopyFileA(source.c_str(), exe_.c_str(), FALSE) != 0;
}

bool ProgramCopy::Start(ChildProcess& child, const std::string& arguments) const
{
    std::string line = "\"" + exe_ + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    return child.Start(line, dir_);
}

}  // namespace testsupport
