// The deployment facts as a JSON document (--deploy --format json); the
// fields are described in the README of setup-lint.
#pragma once

#include "DeployModel.h"

#include <string>

std::string DeploymentAsJson(const Deployment& deployment);
