// Resource strings that pull in other resource strings ("%n", "%+n", "%-n",
// "%%"; see ExpandString.h), loaded in the thread's resource language.
#pragma once

#include <windows.h>

// Loads string `id` of `module` expanded into `buffer` (`size` bytes),
// cut to fit with its terminator. Returns the length of the result; 0 and
// an empty buffer when the string is missing.
int LoadExpandedString(HINSTANCE module, UINT id, char* buffer, int size);
