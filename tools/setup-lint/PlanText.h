// The plan as text for people (--format text, the default).
#pragma once

#include "PlanModel.h"

#include <string>

std::string PlanAsText(const Plan& plan);
