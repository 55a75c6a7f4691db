// Reading lines and fields of the open setup script through the Setup API.
// ReadScriptField cuts a value to the caller's buffer (always terminated);
// ReadWholeField refuses a value that does not fit, for fields that name a
// file, program or other object, which a cut value would name wrongly.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <cstddef>

// Field `field` (0 = the line's key) of the line at `line` into `buffer`
// (`size` bytes). Returns 1, or 0 with the thread's last error when the line
// has no such field.
int ReadScriptField(INFCONTEXT* line, DWORD field, char* buffer, size_t size);

// What ReadWholeField found.
enum class FieldRead { Read, Missing, TooLong };

// Field `field` of the line at `line` into `buffer` (`size` bytes), whole or
// not at all: a value longer than `size` - 1 characters gives TooLong with
// `buffer` empty and ERROR_INSUFFICIENT_BUFFER as the thread's last error; a
// missing field gives Missing with the Setup API's error.
FieldRead ReadWholeField(INFCONTEXT* line, DWORD field, char* buffer, size_t size);

// The debug log's error line for a value ReadWholeField refused: names the
// section, the line (counted from 1 within the section), the field and
// what happens instead (`consequence`, e.g. "the line is skipped").
void LogOverlongField(const char* section, const INFCONTEXT* line, DWORD field, size_t size,
                      const char* consequence);

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
