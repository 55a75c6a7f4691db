// The files of the installation medium, held open from their check until
// the run ends: others may still read them, but nobody can write, rename or
// delete them meanwhile, so what was checked is what gets installed.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <string>
#include <vector>

class MediumLock
{
public:
    MediumLock() = default;
    ~MediumLock() { Release(); }
    MediumLock(const MediumLock&) = delete;
    MediumLock& operator=(const MediumLock&) = delete;

    // Holds the running program's own file, the script beside it, every tag
    // file (cabinets among them) of [SourceDisksNames] and every file of
    // [SourceDisksFiles] present in `folder` (ending with a backslash).
    // Missing files are left to the checks and the copy. 0 when a present
    // file cannot be held (someone has it open for writing), with its path
    // in `refused` and the thread's last error; what was held stays held.
    int Hold(HINF script, const char* folder, std::string* refused);

    // Closes every handle (also done by the destructor).
    void Release();

    size_t Count() const { return handles_.size(); }

private:
    int HoldFile(const std::string& path, std::string* refused);

    std::vector<HANDLE> handles_;
};
