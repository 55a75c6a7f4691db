// Registry look-ups and clean-ups of the setup program in the local
// machine's hive.
#pragma once

// The program-files folder ("ProgramFilesDir" of the CurrentVersion key):
// a text value is copied, an expandable one expanded, cut to 259
// characters, into `path` (260 bytes). Returns 1 when found; 0 for a
// missing value or another type (`path` is then empty).
int GetProgramFilesDir(char* path);

// Deletes the sub-keys named in `keys` (a text list: zero-terminated names,
// ended by an empty one) of the Uninstall key, in list order; names with a
// backslash are skipped (they would reach a key below another entry), and
// failures of single deletions are ignored (the installation log names each
// key deleted, or why not). Returns 1 when the Uninstall key could be
// opened; 0 with the thread's last error otherwise.
int DeleteUninstallKeys(const char* keys);
