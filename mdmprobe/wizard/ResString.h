// Strings of the program's string table, in the language the system picks.
#pragma once

#include <windows.h>

#include <string>

// String `id` of the running program's string table; empty when it is
// missing. Texts are cut at 511 characters.
std::string LoadResString(UINT id);
