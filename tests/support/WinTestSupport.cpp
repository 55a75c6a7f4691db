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
