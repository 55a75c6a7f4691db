// The layer order of the programs, read from the order file: one line per
// program, top first, "name: folder folder ...". The program's own folder
// (its name) is its top; each folder may use its own folder and the folders
// after it on the same line, never those before it, never another program's.
#pragma once

#include <string>
#include <vector>

struct LayerChain
{
    std::string program;               // also the program's folder, the top of the chain
    std::vector<std::string> folders;  // the program's folder first, then top to bottom
};

class LayerOrder
{
public:
    // Reads the order text; `error` receives the first fault ("line N: ...")
    // and the result is then empty. '#' starts a comment.
    static LayerOrder Parse(const std::string& text, std::string* error);

    const std::vector<LayerChain>& Chains() const { return chains_; }

    // The listed folder `path` (a file or folder, relative, '/'-separated)
    // lies in: the longest listed folder that is `path` or a parent of it;
    // empty when `path` lies outside every program.
    std::string LayerOf(const std::string& path) const;

    // Whether code in layer `user` may use layer `used`: the same layer, or
    // one after it on a program's line.
    bool MayUse(const std::string& user, const std::string& used) const;

    // For a path inside a program's folder but in none of its listed
    // folders: that program's sub-folder it lies in ("setup/extra"). Empty
    // for every other path, and for files lying directly in a program folder.
    std::string UnlistedFolder(const std::string& path) const;

    // Whether `folder` is a program's own folder (the top of its chain).
    bool IsProgramFolder(const std::string& folder) const;

private:
    std::vector<LayerChain> chains_;
};
