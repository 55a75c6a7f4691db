// Setup API directory identifiers as the plan writes them: the system's
// folders symbolically (%windir%\system32, %ProgramFiles%, ...), because
// only the target machine knows where they are; 32768 and the ids of
// [ProductDestinationDirs] as the run sets them.
#pragma once

#include "InfDocument.h"
#include "SectionChoice.h"

#include <map>
#include <string>

// The symbolic path of a system directory id on `version`; empty for an id
// the Setup API does not define.
std::string SystemDirectoryPath(long id, const WindowsVersionInfo& version);

class PlanDirectories
{
public:
    explicit PlanDirectories(const WindowsVersionInfo& version) : version_(version) {}

    // Sets a user-defined id (32768 and above), as SetupSetDirectoryId does.
    void Set(long id, const std::string& path) { userIds_[id] = path; }

    // The path of `id`; empty when unknown.
    std::string Path(long id) const;

    // `field` with every %<number>% replaced by its directory's path
    // (unknown ids stay as written).
    std::string Substitute(const std::string& field) const;

    // Where the files of the file-list section `section` go: its
    // [DestinationDirs] line, else DefaultDestDir, else the system folder.
    // `from` names the line used.
    std::string SectionTarget(const InfDocument& script, const std::string& section, std::string* from) const;

private:
    WindowsVersionInfo version_;
    std::map<long, std::string> userIds_;
};
