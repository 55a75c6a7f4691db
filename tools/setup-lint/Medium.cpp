// Files on the installation medium: case-insensitive look-up and reading.
#include "Medium.h"

#include "InfDocument.h"

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace {

// The entry of `folder` whose name equals `name` without regard to case.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = readdir(dir))
        if (SameName(entry->d_name, name)) {
            found = folder + "/" + entry->d_name;
            break;
        }
    closedir(dir);
    return found;
}

}  // namespace

std::optional<std::string> Medium::Locate(const std::string& relative) const
{
    std::string path = folder_;
    size_t from = 0;
    while (from <= relative.size()) {
        const size_t end = std::min(relative.find('\\', from), relative.size());
        const std::string part = relative.substr(from, end - from);
        from = end + 1;
        if (part.empty() || part == ".") continue;
        const std::optional<std::string> next = FindEntry(path, part);
        if (!next) return std::nullopt;
        path = *next;
    }
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return path;
}

std::optional<Bytes> Medium::Read(const std::string& relative) const
{
    const std::optional<std::string> path = Locate(relative);
    if (!path) return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
