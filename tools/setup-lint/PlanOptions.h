// The command line of "setup-lint --plan".
#pragma once

#include "PlanModel.h"

#include <string>

// Reads `argv[1..argc-1]`, which start with "--plan". False with `error`
// set for an unknown option, a missing value or an unknown Windows version.
bool ParsePlanOptions(int argc, char** argv, PlanOptions* options, std::string* error);
