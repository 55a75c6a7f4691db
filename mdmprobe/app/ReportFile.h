// The platform's part of the result report: the clock, the computer's name
// and writing the file so that a reader never sees half of it.
#pragma once

#include <windows.h>

#include <string>

// The local date and time now, ISO 8601 with the local offset from UTC.
std::string LocalIsoTimeNow();

// The computer's NetBIOS name; empty when it cannot be read.
std::string ComputerName();

// Writes `text` to a new file in the folder of `path` (a temporary name)
// and then renames it over `path`, so that `path` holds either the former
// file or the whole new one. Returns 0, or the Windows error code of the
// step that failed (the temporary file is removed then); the system shows
// no box meanwhile (not even for a drive without its disk). `path` must have
// a folder part (a drive or a backslash) and fit into MAX_PATH.
DWORD WriteFileWhole(const std::string& path, const std::string& text);
