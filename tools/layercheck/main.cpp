// layercheck ROOT [ORDER]: checks that the include directives and CMake link
// lines of the source tree at ROOT only point down the layer order of
// ORDER (default ROOT/layers.txt). Prints one line per finding,
// "FILE:LINE: text", then a summary. Exit code 0 without findings, 1 with
// findings, 2 when the order or the tree cannot be read.
#include "LayerCheck.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

bool ReadFile(const fs::path& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Build output and version control are not part of the tree.
bool IsSkipped(const fs::path& relative)
{
    const std::string first = relative.begin()->string();
    return first == "build" || first == "dist" || (!first.empty() && first[0] == '.');
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || std::string(argv[1]) == "--help") {
        std::fprintf(stderr, "usage: layercheck ROOT [ORDER]\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path orderPath = argc == 3 ? fs::path(argv[2]) : root / "layers.txt";
    std::string orderText;
    if (!ReadFile(orderPath, &orderText)) {
        std::fprintf(stderr, "layercheck: cannot read %s\n", orderPath.string().c_str());
        return 2;
    }
    std::string error;
    const LayerOrder order = LayerOrder::Parse(orderText, &error);
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", orderPath.string().c_str(), error.c_str());
        return 2;
    }

    SourceTree tree;
    std::error_code walkError;
    for (fs::recursive_directory_iterator it(root, walkError), end; !walkError && it != end; it.increment(walkError)) {
        const fs::path relative = it->path().lexically_relative(root);
        if (IsSkipped(relative)) {
            if (it->is_directory())
                it.disable_recursion_pending();
            continue;
        }
        const std::string path = relative.generic_string();
        if (!it->is_regular_file() || !IsCheckedFile(path))
            continue;
        if (!ReadFile(it->path(), &tree[path])) {
            std::fprintf(stderr, "layercheck: cannot read %s\n", it->path().string().c_str());
            return 2;
        }
    }
    if (walkError) {
        std::fprintf(stderr, "layercheck: cannot walk %s: %s\n", root.string().c_str(), walkError.message().c_str());
        return 2;
    }

    const std::vector<LayerFinding> findings = CheckLayers(tree, order);
    for (const LayerFinding& finding : findings) {
        if (finding.line > 0)
            std::printf("%s:%d: %s\n", finding.file.c_str(), finding.line, finding.text.c_str());
        else
            std::printf("%s: %s\n", finding.file.c_str(), finding.text.c_str());
    }
    std::printf("layercheck: %zu files, %zu finding%s\n", tree.size(), findings.size(),
                findings.size() == 1 ? "" : "s");
    return findings.empty() ? 0 : 1;
}
