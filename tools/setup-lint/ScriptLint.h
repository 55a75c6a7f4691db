// The checks of setup-lint: what in a setup script and its medium would make
// an installation or removal by setup.exe go wrong.
#pragma once

#include "InfDocument.h"
#include "Medium.h"

#include <string>
#include <vector>

struct LintFinding
{
    int line;
    bool error;  // false: a warning
    std::string text;
};

// All findings for `script`, whose files lie on `medium`, sorted by line.
std::vector<LintFinding> LintScript(const InfDocument& script, const Medium& medium);
