// The plan as a JSON document (--format json).
#pragma once

#include "PlanModel.h"

#include <string>

std::string PlanAsJson(const Plan& plan);
