#include "LayerOrder.h"

#include <algorithm>
#include <sstream>

namespace {

bool IsInside(const std::string& path, const std::string& folder)
{
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
                              && path[folder.size()] == '/');
}

int IndexIn(const LayerChain& chain, const std::string& folder)
{
    const auto found = std::find(chain.folders.begin(), chain.folders.end(), folder);
    return found == chain.folders.end() ? -1 : static_cast<int>(found - chain.folders.begin());
}

std::string Fault(int line, const std::string& text)
{
    return "line " + std::to_string(line) + ": " + text;
}

}  // namespace

LayerOrder LayerOrder::Parse(const std::string& text, std::string* error)
{
    LayerOrder order;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    std::string fault;
    while (fault.empty() && std::getline(lines, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first))
            continue;
        const size_t colon = first.find(':');
        if (colon == std::string::npos || colon == 0) {
            fault = Fault(number, "expected \"program: folder ...\"");
            break;
        }
        LayerChain chain;
        chain.program = first.substr(0, colon);
        chain.folders.push_back(chain.program);
        std::string folder = first.substr(colon + 1);
        do {
            if (folder.empty())
                continue;
            while (folder.size() > 1 && folder.back() == '/')
                folder.pop_back();
            if (IndexIn(chain, folder) >= 0) {
                fault = Fault(number, folder + " is listed twice");
                break;
            }
            chain.folders.push_back(folder);
        } while (words >> folder);
        if (fault.empty() && chain.folders.size() < 2)
            fault = Fault(number, chain.program + " has no layers");
        // A folder shared by two programs keeps the same place relative to
        // every other shared folder, so no pair may use each other.
        for (const LayerChain& other : order.chains_) {
            if (!fault.empty())
                break;
            if (other.program == chain.program) {
                fault = Fault(number, chain.program + " is listed twice");
                break;
            }
            for (size_t i = 0; fault.empty() && i < chain.folders.size(); ++i) {
                for (size_t j = i + 1; j < chain.folders.size(); ++j) {
                    const int a = IndexIn(other, chain.folders[i]);
                    const int b = IndexIn(other, chain.folders[j]);
                    if (a >= 0 && b >= 0 && a > b) {
                        fault = Fault(number, chain.folders[i] + " and " + chain.folders[j] + " are in the opposite order on the line of "
                                                  + other.program);
                        break;
                    }
                }
            }
        }
        if (fault.empty())
            order.chains_.push_back(chain);
    }
    if (fault.empty() && order.chains_.empty())
        fault = "no program listed";
    if (!fault.empty()) {
        if (error != nullptr)
            *error = fault;
        return LayerOrder();
    }
    return order;
}

std::string LayerOrder::LayerOf(const std::string& path) const
{
    std::string best;
    for (const LayerChain& chain : chains_) {
        for (const std::string& folder : chain.folders) {
            if (folder.size() > best.size() && IsInside(path, folder))
                best = folder;
        }
    }
    return best;
}

bool LayerOrder::MayUse(const std::string& user, const std::string& used) const
{
    if (user == used)
        return true;
    for (const LayerChain& chain : chains_) {
        const int a = IndexIn(chain, user);
        const int b = IndexIn(chain, used);
        if (a >= 0 && b > a)
            return true;
    }
    return false;
}

bool LayerOrder::IsProgramFolder(const std::string& folder) const
{
    for (const LayerChain& chain : chains_) {
        if (chain.program == folder)
            return true;
    }
    return false;
}

std::string LayerOrder::UnlistedFolder(const std::string& path) const
{
    const std::string layer = LayerOf(path);
    if (layer.empty() || !IsProgramFolder(layer) || path == layer)
        return std::string();
    const size_t end = path.find('/', layer.size() + 1);
    if (end == std::string::npos)
        return std::string();  // a file directly in the program's folder
    return path.substr(0, end);
}
