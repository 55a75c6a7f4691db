#include "ScriptFiles.h"

#include "ScriptFile.h"
#include "WinTestSupport.h"

#include <sstream>

namespace scripttest {

const std::string& Dir()
{
    static const std::string dir = [] {
        CreateDirectoryA("C:\\script test", nullptr);
        SetEnvironmentVariableA("SCRIPT_CHILD_REPORT", "C:\\script test\\report.txt");
        return std::string("C:\\script test");
    }();
    return dir;
}

void WriteText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

HINF OpenScript(const std::string& body, const std::string& name)
{
    return testsupport::OpenScript(Dir() + "\\" + name, "[Version]\r\nSignature=\"$Chicago$\"\r\n\r\n" + body);
}

bool CopyChild(const std::string& path)
{
    return CopyFileA((testsupport::ModuleDir() + "\\script_child.exe").c_str(), path.c_str(), FALSE) != 0;
}

std::vector<ChildRun> ChildRuns()
{
    std::vector<ChildRun> runs;
    std::istringstream lines(testsupport::ReadFileBytes(Dir() + "\\report.txt"));
    for (std::string line; std::getline(lines, line);) {
        const size_t first = line.find('|'), last = line.rfind('|');
        runs.push_back({line.substr(0, first), line.substr(first + 1, last - first - 1), line.substr(last + 1)});
    }
    return runs;
}

void ClearChildRuns()
{
    DeleteFileA((Dir() + "\\report.txt").c_str());
}

}  // namespace scripttest
