// The installation medium as setup.exe finds its files: a folder (the one
// of setup.inf) whose names Windows compares without regard to case, and
// cabinets in it whose members it extracts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A member of a cabinet: its name (may hold backslashes) and where its bytes
// lie in the uncompressed data of its folder.
struct CabMember
{
    std::string name;
    uint32_t size = 0;
    uint32_t offset = 0;
    uint16_t folder = 0;
};

struct CabFolder
{
    uint32_t firstBlock = 0;   // file offset of its first data block
    uint16_t blockCount = 0;
    uint16_t compression = 0;  // low 4 bits: 0 none, 1 MSZIP (others are not read here)
};

struct Cabinet
{
    std::vector<CabFolder> folders;
    std::vector<CabMember> members;
    uint8_t blockReserve = 0;  // reserved bytes in each data block header
};

// Reads the directory of a cabinet ("MSCF" format). False with `error` set
// when it is not one or is cut short.
bool ReadCabinet(const Bytes& file, Cabinet* cabinet, std::string* error);

// The bytes of `member`; nothing when its folder's compression is not
// supported or the data are damaged.
std::optional<Bytes> ExtractMember(const Bytes& file, const Cabinet& cabinet, const CabMember& member);

class Medium
{
public:
    explicit Medium(std::string folder) : folder_(std::move(folder)) {}

    // The Unix path of `relative` (a Windows path below the medium, with
    // backslashes, any case), or nothing when no such file exists.
    std::optional<std::string> Locate(const std::string& relative) const;
    std::optional<Bytes> Read(const std::string& relative) const;

private:
    // The entry of `folder` whose name equals `name` without regard to case.
    std::optional<std::string> FindEntry(const std::string& folder, const std::string& name) const;

    std::string folder_;
    // The names in each folder looked into, read once: a script names
    // hundreds of files in the same folders.
    mutable std::map<std::string, std::vector<std::string>> entries_;
};
