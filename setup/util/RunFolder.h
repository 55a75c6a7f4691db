// The run's own folder for temporary files: cabinet members extracted to be
// read (versions, icons) go there, not to the user's temporary folder,
// where a normal user could swap or plant them under the elevated run.
//
// The folder is made on first use by MakeAdminTempFolder (AdminTempFolder.h):
// below the Windows folder's "Temp" (the user's temporary folder when that
// is missing), named "setup-" and 16 random hexadecimal digits, for SYSTEM
// and the Administrators only, never a folder that exists already.
//
// Thread-safe. The installer removes the folder as soon as the members are
// read, and once more at the end of its run.
#pragma once

#include <cstddef>

// A new empty file in the run's folder (made first when needed): its path,
// at most `capacity` bytes with the terminator, goes to `path`. `prefix`:
// up to three characters of the file name. 1, or 0 with the last error.
int RunFolderNewFile(const char* prefix, char* path, size_t capacity);

// Deletes a file through a handle opened on it for deletion (delete on
// close), which does not follow a reparse point; where the system ignores
// that flag (Windows 9x), by name. 1 when the file is gone.
int RunFolderDeleteFile(const char* path);

// The run's folder, empty when it has not been made (or was removed).
// Fills `path`; 1 when there is one.
int RunFolderPath(char* path, size_t capacity);

// Deletes what is left in the folder (files only: nothing else is made
// there) and the folder itself. Call once no thread uses it any more.
void RemoveRunFolder();
