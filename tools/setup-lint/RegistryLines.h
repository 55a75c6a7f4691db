// The plan items of AddReg and DelReg lines: what the Setup API does with
// each line is setup.exe's own reading (RegistryLineRules.h), shared with
// the run's installation log; this adds the data and the notes.
#pragma once

#include "PlanModel.h"
#include "RegistryLineRules.h"

#include <cstdint>
#include <string>
#include <vector>

// The line's flags as the Setup API reads them.
int32_t RegistryLineFlags(const std::vector<std::string>& fields);

// The plan item of one registry line; `fields` are its fields 1, 2, ...
// with strings and directory ids substituted. Actions: set-value,
// create-key, append-strings, delete-value, delete-key, delete-string, skip.
PlanItem RegistryLineItem(const std::vector<std::string>& fields, bool delReg);
