// Files on the installation medium: case-insensitive look-up and reading.
#include "Medium.h"

#include "InfDocument.h"

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

std::optional<std::string> Medium::FindEntry(const std::string& folder, const std::string& name) const
{
    auto [names, added] = entries_.try_emplace(folder);
    DIR* dir = added ? opendir(folder.c_str()) : nullptr;
    if (dir) {
        while (const dirent* entry = readdir(dir)) names->second.push_back(entry->d_name);
        closedir(dir);
    }
    for (const std::string& entry : names->second)
        if (SameName(entry, name)) return folder + "/" + entry;
    return std::nullopt;
}

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
