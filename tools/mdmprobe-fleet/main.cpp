// mdmprobe-fleet: reads the result reports (/R:) of many modem-test runs and
// summarises them for a support desk.
//
//   mdmprobe-fleet [--csv FILE] [--html FILE] PATH...
//
// Each PATH is a report or a folder whose *.json files (and those of its
// subfolders) are read. The summary goes to standard output. Exit code 0,
// or 2 for bad arguments, a missing PATH or an output file that cannot be
// written; refused reports are listed but do not fail the run.
#include "FleetHtml.h"
#include "FleetText.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int Usage()
{
    std::cerr << "usage: mdmprobe-fleet [--csv FILE] [--html FILE] PATH...\n";
    return 2;
}

bool ReadWhole(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad();
}

bool WriteWhole(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out)
        return true;
    std::cerr << "mdmprobe-fleet: cannot write " << path << "\n";
    return false;
}

// The report files of `path`: itself, or a folder's *.json files at any
// depth, sorted so that the output never depends on the folder's order.
bool CollectFiles(const std::string& path, std::vector<std::string>& files)
{
    std::error_code error;
    if (fs::is_directory(path, error)) {
        std::vector<std::string> found;
        for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
            if (it->is_regular_file(error) && it->path().extension() == ".json")
                found.push_back(it->path().string());
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
        return !error;
    }
    if (!fs::exists(path, error))
        return false;
    files.push_back(path);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string csvPath;
    std::string htmlPath;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--csv" || arg == "--html") && i + 1 < argc)
            (arg == "--csv" ? csvPath : htmlPath) = argv[++i];
        else if (arg.rfind("--", 0) == 0)
            return Usage();
        else
            paths.push_back(arg);
    }
    if (paths.empty())
        return Usage();

    std::vector<std::string> files;
    for (const std::string& path : paths) {
        if (!CollectFiles(path, files)) {
            std::cerr << "mdmprobe-fleet: cannot read " << path << "\n";
            return 2;
        }
    }
    FleetSummary summary;
    for (const std::string& file : files) {
        std::string text;
        ReadOutcome outcome;
        if (ReadWhole(file, text))
            outcome = ReadReport(file, text);
        else
            outcome.refusal = Refusal::Unreadable;
        AddToFleet(summary, file, outcome);
    }
    Summarise(summary);

    std::cout << FormatFleetText(summary);
    if (!csvPath.empty() && !WriteWhole(csvPath, FormatFleetCsv(summary)))
        return 2;
    if (!htmlPath.empty() && !WriteWhole(htmlPath, FormatFleetHtml(summary)))
        return 2;
    return 0;
}
