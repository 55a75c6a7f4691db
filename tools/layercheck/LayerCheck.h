// The layer check of a source tree: every quoted include of a C, C++ or
// resource file and every library a CMake file links must come from the
// user's own layer or one below it (LayerOrder); every folder of a program
// that holds code is in the order; each layer folder defines at most one
// library, named after the folder ("setup/base" defines setup_base).
// Folders outside the programs (tests, tools) may use any layer; no program
// folder may use them.
#pragma once

#include "LayerOrder.h"

#include <map>
#include <string>
#include <vector>

struct LayerFinding
{
    std::string file;  // relative to the tree's root, '/'-separated
    int line = 0;      // 0: the finding concerns the whole file or folder
    std::string text;
};

// The tree as text: every file's relative path with its contents (only the
// files the check reads: C, C++ and resource sources, CMakeLists.txt).
using SourceTree = std::map<std::string, std::string>;

// Whether the check reads the file at `path` (by its name).
bool IsCheckedFile(const std::string& path);

// Findings in file order, then line order.
std::vector<LayerFinding> CheckLayers(const SourceTree& tree, const LayerOrder& order);
