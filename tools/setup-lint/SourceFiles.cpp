// Source files of a script on its medium; see SourceFiles.h.
#include "SourceFiles.h"

#include <cctype>

namespace {

bool EndsWithCab(const std::string& name)
{
    return name.size() > 4 && SameName(name.substr(name.size() - 4), ".cab");
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string JoinWindowsPath(std::initializer_list<std::string> parts)
{
    std::string path;
    for (std::string part : parts) {
        while (!part.empty() && part.front() == '\\') part.erase(0, 1);
        while (!part.empty() && part.back() == '\\') part.pop_back();
        if (part.empty()) continue;
        path += (path.empty() ? "" : "\\") + part;
    }
    return path;
}

SourceLocation SourceFiles::Locate(const std::string& file) const
{
    SourceLocation location;
    location.loose = file;
    location.entry = script_.FindKey("SourceDisksFiles.x86", file);
    if (!location.entry) location.entry = script_.FindKey("SourceDisksFiles", file);
    if (!location.entry) return location;
    const std::string& diskNumber = location.entry->Field(1);
    location.disk = script_.FindKey("SourceDisksNames.x86", diskNumber);
    if (!location.disk) location.disk = script_.FindKey("SourceDisksNames", diskNumber);
    if (!location.disk) return location;
    const std::string& diskPath = location.disk->Field(4);
    const std::string& subDir = location.entry->Field(2);
    location.loose = JoinWindowsPath({diskPath, subDir, file});
    location.member = JoinWindowsPath({subDir, file});
    if (EndsWithCab(location.disk->Field(2))) location.cabinet = JoinWindowsPath({diskPath, location.disk->Field(2)});
    return location;
}

const OpenCabinet& SourceFiles::Open(const std::string& path)
{
    auto [it, added] = cabinets_.try_emplace(Upper(path));
    if (added) {
        it->second.problem = "it is not on the medium";
        if (std::optional<Bytes> bytes = medium_.Read(path)) {
            it->second.bytes = std::move(*bytes);
            it->second.ok = ReadCabinet(it->second.bytes, &it->second.directory, &it->second.problem);
        }
    }
    return it->second;
}

const CabMember* SourceFiles::Member(const OpenCabinet& cabinet, const SourceLocation& location) const
{
    for (const CabMember& member : cabinet.directory.members)
        if (SameName(member.name, location.member) || SameName(member.name, location.loose)) return &member;
    return nullptr;
}

std::optional<Bytes> SourceFiles::Read(const std::string& file)
{
    const SourceLocation location = Locate(file);
    if (std::optional<Bytes> loose = medium_.Read(location.loose)) return loose;
    if (location.cabinet.empty()) return std::nullopt;
    const OpenCabinet& cab = Open(location.cabinet);
    const CabMember* member = cab.ok ? Member(cab, location) : nullptr;
    return member ? ExtractMember(cab.bytes, cab.directory, *member) : std::nullopt;
}
