// Helpers shared by the Windows tests that run under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// "/work/x/y" -> "Z:\work\x\y" (Wine maps the Unix root to drive Z:).
std::string UnixToWinPath(const std::string& unixPath);

// Value of an environment variable, empty when unset.
std::string Env(const char* name);

// Why this run has no bubblewrap sandbox, as a skip reason for the tests
// that need it (the small drives of WINETEST_DRIVES exist only inside it), or
// "" when it has one. A limit of the machine itself (the kernel refuses the
// namespaces) begins with "this machine: ", which `make test` accepts; a
// sandbox that is missing because bubblewrap is not installed fails it.
std::string NoSandboxReason(const std::string& needs);

// One operation Windows carries out at the next restart, as listed in
// PendingFileRenameOperations: `source` is renamed to `target`, or deleted
// when `target` is empty. Both without the "\??\" prefix the list adds; a
// target's leading "!" (an existing file is replaced) is kept in `replaces`.
struct PendingOperation
{
    std::string source, target;
    bool replaces = false;
};
// The machine's operations for the next restart, in their order; empty
// when there are none.
std::vector<PendingOperation> PendingOperations();
// Where the deletion of exactly `path` (letter case aside; not a file inside
// it) stands in `list`; npos when it is not there.
size_t PendingDeletion(const std::vector<PendingOperation>& list, const std::string& path);
// Where the first rename onto exactly `path` stands in `list`; npos when none.
size_t PendingRenameOnto(const std::vector<PendingOperation>& list, const std::string& path);

// Whole file as bytes; `ok` false when it cannot be read.
std::string ReadFileBytes(const std::string& path, bool* ok = nullptr);

bool FileExists(const std::string& path);

// Folder of the running test program, without the trailing backslash.
std::string ModuleDir();

// The scratch folder of this winetest run (WINETEST_RUN_DIR) as a Windows
// path; outside a winetest run, ModuleDir().
std::string RunDir();

// Sets text value `name` (null: the default value) of `key` under `root`,
// creating the key. False when that fails.
bool SetRegistryText(HKEY root, const std::string& key, const char* name, const std::string& value);

// Milliseconds from the performance counter. Wine's GetTickCount moves in
// steps of about 16 ms, too coarse for the lower limits tests check.
DWORD PreciseMs();
inline DWORD PreciseMsSince(DWORD start) { return PreciseMs() - start; }

// A started child process; closes its handles when destroyed.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `commandLine` (program path first, quoted by the caller if needed).
    bool Start(const std::string& commandLine, const std::string& workDir = std::string());
    // Waits up to `ms`; true when the process ended. `exitCode` gets its code.
    bool Wait(DWORD ms, DWORD* exitCode = nullptr);
    // Ends the process if it still runs.
    void Kill();

    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// A private copy of a program in its own folder of the run folder (or,
// outside a winetest run, beside the test program), so that files next to
// the program (its log, its script) belong to one test alone.
class ProgramCopy
{
public:
    ProgramCopy(const std::string& source, const std::string& folder, const std::string& exeName);
    bool Copied() const { return copied_; }
    const std::string& Dir() const { return dir_; }
    const std::string& Exe() const { return exe_; }
    std::string Path(const char* file) const { return dir_ + "\\" + file; }
    // Starts the copy with `arguments` in its folder.
    bool Start(ChildProcess& child, const std::string& arguments) const;

private:
    std::string dir_;
    std::string exe_;
    bool copied_ = false;
};

}  // namespace testsupport
