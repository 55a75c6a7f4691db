// setup-lint SETUP.INF: checks a setup script of setup.exe and the medium
// beside it (the files and cabinets it names) and lists what would make an
// installation go wrong, with line numbers. Exit code 0 when there are no
// errors (warnings allowed), 1 with errors, 2 when the file cannot be read.
#include "InfDocument.h"
#include "Medium.h"
#include "ScriptLint.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(stderr, "usage: setup-lint SETUP.INF\n");
        return 2;
    }
    const std::string path = argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "setup-lint: cannot read %s\n", path.c_str());
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t slash = path.rfind('/');
    const Medium medium(slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash));
    int errors = 0;
    int warnings = 0;
    for (const LintFinding& finding : LintScript(ParseInf(text), medium)) {
        std::printf("%s:%d: %s: %s\n", path.c_str(), finding.line, finding.error ? "error" : "warning",
                    finding.text.c_str());
        ++(finding.error ? errors : warnings);
    }
    std::printf("%s: %d error%s, %d warning%s\n", path.c_str(), errors, errors == 1 ? "" : "s", warnings,
                warnings == 1 ? "" : "s");
    return errors > 0 ? 1 : 0;
}
