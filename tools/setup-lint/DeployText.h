// The deployment facts as text for people (--deploy, --format text).
#pragma once

#include "DeployModel.h"

#include <string>

std::string DeploymentAsText(const Deployment& deployment);
