// Numbers in script fields as the Setup API reads flags and registry
// numbers (SetupGetIntField): the whole field must be a number, written in
// decimal, hexadecimal after "0x" or octal after a leading 0, with an
// optional sign.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The field's value held within the 32-bit signed range, or nothing when it
// is empty or not wholly a number.
std::optional<int32_t> SetupIntField(const std::string& field);
