// Directory identifiers of the Setup API; see DirectoryIds.h.
#include "DirectoryIds.h"

#include "IntField.h"
#include "SourceFiles.h"

#include <cctype>

namespace {

// Shell folders (16384 plus the shell's folder number).
const std::map<long, std::string>& ShellFolderIds()
{
    static const std::map<long, std::string> ids = {
        {16384 + 0x00, "%Desktop%"},         {16384 + 0x02, "%Programs%"},
        {16384 + 0x05, "%Personal%"},        {16384 + 0x07, "%Startup%"},
        {16384 + 0x0b, "%StartMenu%"},       {16384 + 0x10, "%Desktop%"},
        {16384 + 0x14, "%windir%\\fonts"},   {16384 + 0x16, "%CommonStartMenu%"},
        {16384 + 0x17, "%CommonPrograms%"},  {16384 + 0x18, "%CommonStartup%"},
        {16384 + 0x19, "%CommonDesktop%"},   {16384 + 0x1a, "%APPDATA%"},
        {16384 + 0x1c, "%LOCALAPPDATA%"},    {16384 + 0x23, "%ProgramData%"},
        {16384 + 0x24, "%windir%"},          {16384 + 0x26, "%ProgramFiles%"},
        {16384 + 0x28, "%USERPROFILE%"},     {16384 + 0x2b, "%CommonProgramFiles%"},
        {16384 + 0x2e, "%CommonDocuments%"},
    };
    return ids;
}

}  // namespace

std::string SystemDirectoryPath(long id, const WindowsVersionInfo& version)
{
    const std::string system = version.nt ? "%windir%\\system32" : "%windir%\\system";
    switch (id) {
    case 1: return "%Medium%";  // the folder of setup.inf
    case 10: case 25: return "%windir%";
    case 11: return system;
    case 12: return version.nt ? system + "\\drivers" : system + "\\iosubsys";
    case 17: return "%windir%\\inf";
    case 18: return "%windir%\\help";
    case 20: return "%windir%\\fonts";
    case 21: return system + "\\viewers";
    case 23: return version.nt ? system + "\\spool\\drivers\\color" : system + "\\color";
    case 24: case 30: case 54: return "%SystemDrive%";  // the root of the system drive
    case 50: return "%windir%\\system";
    case 51: return system + "\\spool";
    case 52: return system + "\\spool\\drivers\\w32x86";
    case 53: return "%USERPROFILE%";
    case 55: return system + "\\spool\\prtprocs\\w32x86";
    default: break;
    }
    const auto shell = ShellFolderIds().find(id);
    return shell != ShellFolderIds().end() ? shell->second : std::string();
}

std::string PlanDirectories::Path(long id) const
{
    const auto user = userIds_.find(id);
    if (user != userIds_.end()) return user->second;
    return SystemDirectoryPath(id, version_);
}

std::string PlanDirectories::Substitute(const std::string& field) const
{
    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t open = field.find('%', from);
        const size_t close = open == std::string::npos ? open : field.find('%', open + 1);
        if (close == std::string::npos) return out + field.substr(from);
        const std::string name = field.substr(open + 1, close - open - 1);
        bool number = !name.empty() && name.size() <= 9;
        for (char c : name) number = number && std::isdigit(static_cast<unsigned char>(c));
        const std::string path = number ? Path(std::stol(name)) : std::string();
        out += field.substr(from, open - from);
        if (path.empty()) {
            // Not a directory id we know: kept, and the closing % may open the next.
            out += field.substr(open, close - open);
            from = close;
            continue;
        }
        out += path;
        from = close + 1;
    }
}

std::string PlanDirectories::SectionTarget(const InfDocument& script, const std::string& section,
                                           std::string* from) const
{
    const InfLine* line = section.empty() ? nullptr : script.FindKey("DestinationDirs", section);
    if (!line) line = script.FindKey("DestinationDirs", "DefaultDestDir");
    if (line) {
        const std::optional<int32_t> id = SetupIntField(line->Field(1));
        const std::string base = id ? Path(*id) : std::string();
        if (!base.empty()) {
            if (from) *from = "[DestinationDirs] " + line->key;
            return JoinWindowsPath({base, Substitute(line->Field(2))});
        }
    }
    if (from) *from = "the system folder (no usable [DestinationDirs] line)";
    return SystemDirectoryPath(11, version_);
}
