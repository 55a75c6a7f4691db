// New folders for administrators only below the system's temporary folder
// (the Windows folder's "Temp"), for what an elevated run writes and then
// reads or starts: a normal user can neither plant nor swap anything inside.
//
// Each folder gets a new unpredictable name (a prefix and 16 hexadecimal
// digits) and a protected DACL that gives full control to SYSTEM and the
// Administrators only, inherited by everything made inside. A name that
// exists already is never used: another name is tried, and after a few the
// folder is not made. Windows 9x and NT 4 have no such descriptors (9x no
// file security at all): there the folder gets the default security.
#pragma once

#include <cstddef>

// Where a new folder may go.
enum class TempParent {
    SystemOnly,     // the Windows folder's Temp; no folder when it is missing
    SystemOrUser,   // that, or the user's temporary folder when it is missing
};

// Makes a new folder "<parent>\<prefix><16 hexadecimal digits>" (prefix at
// most 16 characters) and writes its path to `path` (`capacity` bytes, at
// least MAX_PATH). Leaves room behind it for a file name of 13 characters.
// 1, or 0 with the last error (ERROR_PATH_NOT_FOUND: no parent folder).
int MakeAdminTempFolder(const char* prefix, TempParent parent, char* path, size_t capacity);

// The Windows folder's Temp with its trailing backslash; false when it
// cannot be told or is no plain folder (missing, a file, a reparse point).
bool SystemTempFolder(char* path, size_t capacity);
