// Building the deployment facts of a medium from the plans of its runs:
// the installation of each product alone, the default installation and
// the removal of each uninstall entry, all planned for Windows 10.
#pragma once

#include "DeployModel.h"
#include "InfDocument.h"
#include "Medium.h"

#include <string>

Deployment MakeDeployment(const InfDocument& script, const std::string& scriptPath, const Medium& medium);
