// Field reads on lines of the setup script through the Setup API.
#pragma once

#include <windows.h>
#include <setupapi.h>

// Field `field` (1 = first after the "=", 0 = the key) of the line at
// `line` into `buffer` (`size` bytes). Returns 1 when the line has that
// field and it fits with its terminator; 0 otherwise, with `buffer` empty.
int ScriptLineField(const INFCONTEXT* line, DWORD field, char* buffer, DWORD size);

// Whether the line at `line` has field `field` at all (it may be empty).
bool ScriptLineHasField(const INFCONTEXT* line, DWORD field);
