#include "LayerCheck.h"

#include "SourceScan.h"

#include <set>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsCMakeFile(const std::string& path)
{
    return BaseName(path) == "CMakeLists.txt";
}

// "a/b/../c" as "a/c"; "./" parts dropped.
std::string Normalized(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : "/") + part;
    return joined;
}

// The library name a layer folder's library has: "setup/base" -> setup_base.
std::string LibraryNameOf(const std::string& folder)
{
    std::string name = folder;
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return name;
}

// A layer of the order, or "" for folders outside every program.
class Checker
{
public:
    Checker(const SourceTree& tree, const LayerOrder& order) : tree_(tree), order_(order)
    {
        for (const auto& file : tree_) {
            byName_.insert({BaseName(file.first), file.first});
            if (IsCMakeFile(file.first)) {
                for (const CMakeCall& call : CMakeCalls(file.second)) {
                    if ((call.command == "add_library" || call.command == "add_executable") && !call.args.empty()
                        && call.args[0].find('$') == std::string::npos)
                        targets_.insert({call.args[0], FolderOf(file.first)});
                }
            }
        }
    }

    std::vector<LayerFinding> Run()
    {
        std::set<std::string> unlisted;
        for (const auto& file : tree_) {
            const std::string& path = file.first;
            const std::string layer = order_.LayerOf(path);
            if (layer.empty())
                continue;  // tests and tools may use every layer
            const std::string folder = order_.UnlistedFolder(path);
            if (!folder.empty() && HoldsCode(path, file.second)) {
                if (unlisted.insert(folder).second)
                    Add(folder, 0, "holds code but is in no program's layer order");
                continue;
            }
            if (IsCMakeFile(path))
                CheckCMake(path, layer, file.second);
            else
                CheckIncludes(path, layer, file.second);
        }
        return findings_;
    }

private:
    // C, C++ and resource files hold code; a CMake file when it builds or
    // links a target.
    static bool HoldsCode(const std::string& path, const std::string& text)
    {
        if (!IsCMakeFile(path))
            return true;
        for (const CMakeCall& call : CMakeCalls(text)) {
            if (call.command == "add_library" || call.command == "add_executable"
                || call.command == "target_link_libraries")
                return true;
        }
        return false;
    }

    void Add(const std::string& file, int line, const std::string& text)
    {
        findings_.push_back({file, line, text});
    }

    // The folder of the refused file at `path` and why `layer` may not use it.
    std::string Where(const std::string& path, const std::string& layer) const
    {
        const std::string unlisted = order_.UnlistedFolder(path);
        if (!unlisted.empty())
            return unlisted + ", which is in no layer order";
        const std::string used = order_.LayerOf(path);
        if (used.empty())
            return FolderOf(path) + ", which lies outside the programs";
        return used + ", " + Refusal(layer, used);
    }

    // Why `layer` may not use the layer `used`.
    std::string Refusal(const std::string& layer, const std::string& used) const
    {
        for (const LayerChain& chain : order_.Chains()) {
            int userAt = -1;
            int usedAt = -1;
            for (size_t i = 0; i < chain.folders.size(); ++i) {
                if (chain.folders[i] == layer)
                    userAt = static_cast<int>(i);
                if (chain.folders[i] == used)
                    usedAt = static_cast<int>(i);
            }
            if (userAt >= 0 && usedAt >= 0 && usedAt < userAt)
                return "a layer above " + layer;
        }
        return "which " + layer + " may not use";
    }

    // Files an include of `name` from `path` can mean: the including file's
    // folder first, else every file of that name (or path ending).
    std::vector<std::string> Candidates(const std::string& path, const std::string& name) const
    {
        const std::string beside = Normalized(FolderOf(path) + "/" + name);
        if (tree_.count(beside) != 0)
            return {beside};
        std::vector<std::string> found;
        const auto range = byName_.equal_range(BaseName(name));
        for (auto it = range.first; it != range.second; ++it) {
            if (name.find('/') == std::string::npos || EndsWith(it->second, "/" + name))
                found.push_back(it->second);
        }
        return found;
    }

    void CheckIncludes(const std::string& path, const std::string& layer, const std::string& text)
    {
        for (const IncludeDirective& include : QuotedIncludes(text)) {
            const std::vector<std::string> candidates = Candidates(path, include.name);
            if (candidates.empty())
                continue;  // a system or generated header
            bool allowed = false;
            std::string shown;  // the nearest candidate that is refused
            for (const std::string& candidate : candidates) {
                const std::string used = order_.LayerOf(candidate);
                if (!used.empty() && order_.MayUse(layer, used))
                    allowed = true;
                else if (shown.empty() || SameProgram(candidate, layer))
                    shown = candidate;
            }
            if (!allowed)
                Add(path, include.line, "includes " + include.name + " from " + Where(shown, layer));
        }
    }

    bool SameProgram(const std::string& path, const std::string& layer) const
    {
        const size_t slash = layer.find('/');
        const std::string top = layer.substr(0, slash);
        return path.compare(0, top.size() + 1, top + "/") == 0;
    }

    void CheckCMake(const std::string& path, const std::string& layer, const std::string& text)
    {
        const std::string folder = FolderOf(path);
        int libraries = 0;
        for (const CMakeCall& call : CMakeCalls(text)) {
            if (call.command == "add_library" && !call.args.empty()) {
                const std::string expected = LibraryNameOf(layer);
                if (order_.IsProgramFolder(layer))
                    Add(path, call.line, "library " + call.args[0] + " in the program's folder: libraries belong to its layers");
                else if (folder != layer)
                    Add(path, call.line, "library " + call.args[0] + " in " + folder + ": a layer's library is defined in " + layer);
                else if (call.args[0] != expected)
                    Add(path, call.line, "library " + call.args[0] + ": the library of " + layer + " is " + expected);
                else if (++libraries > 1)
                    Add(path, call.line, "library " + call.args[0] + " defined twice");
            }
            if (call.command != "target_link_libraries")
                continue;
            for (const std::string& name : LinkedNames(call)) {
                const auto target = targets_.find(name);
                if (target == targets_.end())
                    continue;  // a system library
                const std::string used = order_.LayerOf(target->second);
                if (used.empty() || !order_.MayUse(layer, used))
                    Add(path, call.line, "links " + name + " of " + Where(target->second + "/CMakeLists.txt", layer));
            }
        }
    }

    const SourceTree& tree_;
    const LayerOrder& order_;
    std::multimap<std::string, std::string> byName_;  // file name -> path
    std::map<std::string, std::string> targets_;      // target -> folder of its CMake file
    std::vector<LayerFinding> findings_;
};

}  // namespace

bool IsCheckedFile(const std::string& path)
{
    if (IsCMakeFile(path))
        return true;
    for (const char* extension : {".c", ".cc", ".cpp", ".h", ".hpp", ".rc", ".rci"}) {
        if (EndsWith(path, extension))
            return true;
    }
    return false;
}

std::vector<LayerFinding> CheckLayers(const SourceTree& tree, const LayerOrder& order)
{
    return Checker(tree, order).Run();
}
