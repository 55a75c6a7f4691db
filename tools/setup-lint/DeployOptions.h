// The command line of "setup-lint --deploy".
#pragma once

#include "WingetManifests.h"

#include <string>

struct DeployOptions
{
    std::string medium;     // the medium's folder, or its setup.inf
    bool json = false;      // --format json
    std::string wingetDir;  // --winget: the folder the manifest files go to; empty: none are written
    WingetPackage package;  // --id, --url, --sha256
};

// Reads `argv[1..argc-1]`, which start with "--deploy". False with `error`
// set for an unknown option, a missing value, or --winget without --id,
// --url and --sha256 (or they without it) or with values the package
// manager refuses.
bool ParseDeployOptions(int argc, char** argv, DeployOptions* options, std::string* error);
