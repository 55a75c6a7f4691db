// mdmprobe-lint FILE.ini: checks a modem definition file of the modem test
// and lists what would make a run go wrong, with line numbers. Exit code 0
// when there are no errors (warnings allowed), 1 with errors, 2 when the file
// cannot be read.
#include "DefinitionLint.h"
#include "IniDocument.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(stderr, "usage: mdmprobe-lint FILE.ini\n");
        return 2;
    }
    const char* path = argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mdmprobe-lint: cannot read %s\n", path);
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int errors = 0;
    int warnings = 0;
    for (const LintFinding& finding : LintDefinitionFile(ParseIni(text))) {
        std::printf("%s:%d: %s: %s\n", path, finding.line, finding.error ? "error" : "warning",
                    finding.text.c_str());
        ++(finding.error ? errors : warnings);
    }
    std::printf("%s: %d error%s, %d warning%s\n", path, errors, errors == 1 ? "" : "s", warnings,
                warnings == 1 ? "" : "s");
    return errors > 0 ? 1 : 0;
}
