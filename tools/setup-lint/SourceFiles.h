// Where setup.exe finds a source file of its script on the medium: the
// source-disk sections give the file's disk (a path below the medium and a
// tag file) and sub-directory; a disk whose tag file is a cabinet holds the
// file inside that cabinet, which the Setup API extracts.
#pragma once

#include "InfDocument.h"
#include "Medium.h"

#include <map>
#include <optional>
#include <string>

struct SourceLocation
{
    const InfLine* entry = nullptr;  // its [SourceDisksFiles] line; null when not listed
    const InfLine* disk = nullptr;   // its disk's [SourceDisksNames] line; null when unknown
    std::string loose;               // the path below the medium where it lies loose
    std::string cabinet;             // the disk's cabinet below the medium; empty when none
    std::string member;              // its name inside the cabinet
};

struct OpenCabinet
{
    bool ok = false;
    std::string problem;  // why it cannot be read, when not ok
    Bytes bytes;
    Cabinet directory;
};

// Joins path parts with single backslashes, skipping empty ones.
std::string JoinWindowsPath(std::initializer_list<std::string> parts);

class SourceFiles
{
public:
    SourceFiles(const InfDocument& script, const Medium& medium) : script_(script), medium_(medium) {}

    // The [SourceDisksFiles.x86] line of `file`, else its [SourceDisksFiles]
    // line, and the disk it names.
    SourceLocation Locate(const std::string& file) const;

    bool IsLoose(const SourceLocation& location) const { return medium_.Locate(location.loose).has_value(); }

    // The cabinet at `path` below the medium, read once.
    const OpenCabinet& Open(const std::string& path);

    // The member of `cabinet` that holds the file at `location`, or null.
    const CabMember* Member(const OpenCabinet& cabinet, const SourceLocation& location) const;

    // The bytes of `file`, loose or from its cabinet; nothing when absent.
    std::optional<Bytes> Read(const std::string& file);

private:
    const InfDocument& script_;
    const Medium& medium_;
    std::map<std::string, OpenCabinet> cabinets_;  // by upper-case path
};
