// Reading lines and fields of the open setup script through the Setup API.
// Every read is cut to the caller's buffer (always terminated): the script's
// values are kept in fixed buffers and longer ones are cut.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <cstddef>

// Field `field` (0 = the line's key) of the line at `line` into `buffer`
// (`size` bytes). Returns 1, or 0 with the thread's last error when the line
// has no such field.
int ReadScriptField(INFCONTEXT* line, DWORD field, char* buffer, size_t size);

// Field `field` of the first line with key `key` in `section`. Returns 1, or
// 0 with the thread's last error when the section, the key or the field is
// missing.
int FindLine(HINF script, const char* key, const char* section, DWORD field, char* buffer, size_t size);

// Field `field` of the products line whose key is the name of entry `index`
// of the global component list; field 0 gives that name itself. 0 for an
// index outside the list or a missing line or field.
int ProductField(HINF script, int index, DWORD field, char* buffer, size_t size, const char* productsSection);

// Whether `section` exists in the script and has at least one line.
bool SectionHasLines(HINF script, const char* section);
