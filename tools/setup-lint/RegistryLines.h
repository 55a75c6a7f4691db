// What the Setup API does with one line of an AddReg or DelReg section:
// "root, key, value name, flags, data...", the flags telling the value's
// type and the kind of change. A DelReg line is carried out only when its
// flags are 0 or carry the deletion bit 0x8000; an AddReg line only when
// they do not.
#pragma once

#include "PlanModel.h"

#include <cstdint>
#include <string>
#include <vector>

enum : int32_t { kRegDeletionBit = 0x8000 };

// Whether a DelReg line with `flags` (field 4; 0 when missing or not a
// number) deletes anything: flags 0, or flags with the deletion bit.
inline bool DelRegCarriesOut(int32_t flags) { return flags == 0 || (flags & kRegDeletionBit) != 0; }

// The line's flags as the Setup API reads them.
int32_t RegistryLineFlags(const std::vector<std::string>& fields);

// The plan item of one registry line; `fields` are its fields 1, 2, ...
// with strings and directory ids substituted. Actions: set-value,
// create-key, append-strings, delete-value, delete-key, delete-string, skip.
PlanItem RegistryLineItem(const std::vector<std::string>& fields, bool delReg);
