// Files of the script tests: scripts written into a test folder and opened
// with the Setup API, copies of the child program, the child's report.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <string>
#include <vector>

namespace scripttest {

// The folder the tests work in (created on first use), without a backslash.
const std::string& Dir();

void WriteText(const std::string& path, const std::string& text);

// Writes `body` behind a Windows-95-style version section to
// Dir()\<name> and opens it; INVALID_HANDLE_VALUE when it cannot be opened.
HINF OpenScript(const std::string& body, const std::string& name = "setup.inf");

// Copies the child program (built beside the test) to `path`.
bool CopyChild(const std::string& path);

// Lines the child programs appended to their report so far, each split into
// program file, arguments and current directory.
struct ChildRun
{
    std::string program, arguments, directory;
};
std::vector<ChildRun> ChildRuns();
void ClearChildRuns();

}  // namespace scripttest
