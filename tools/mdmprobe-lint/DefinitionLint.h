// Checks a modem definition file for what would make a run of the modem
// test go wrong: model sections without a needed key and without a Common
// fallback, broken aliases, values the reader would cut, numbers that are not
// numbers, diagnostic definitions that do not parse, duplicate sections.
#pragma once

#include "IniDocument.h"

#include <string>
#include <vector>

struct LintFinding
{
    int line = 0;
    bool error = true;  // false: a warning (the run works, but maybe not as meant)
    std::string text;
};

// Findings in line order.
std::vector<LintFinding> LintDefinitionFile(const IniDocument& document);
