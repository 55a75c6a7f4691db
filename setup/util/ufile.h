// File services of the utility library: deletion at the next restart, whole
// INI sections, and file security.
#pragma once

#include <windows.h>

#include <string>

// Schedules the existing file `path` for deletion at the next restart: on
// the NT family through the system's pending operations, on Windows 9x as a
// "NUL=<short path>" entry appended to the [Rename] section of wininit.ini
// (entries already there stay, in order). Non-zero when scheduled.
int xUtilDelayFileDelete(const char* path);

// Schedules the existing file `target` to be replaced by the existing file
// `staged` at the next restart: on the NT family through the system's pending
// operations, on Windows 9x as a "<target>=<staged>" entry (short paths)
// appended to [Rename] of wininit.ini. Non-zero when scheduled.
int xUtilDelayReplace(const char* staged, const char* target);

// NT family: schedules `path` (also a folder) for deletion at the next
// restart and returns the system's result. Windows 9x: does nothing, 0.
int xUtilDelayMove(const char* path);

// The whole section `section` of the INI file `iniPath` as a text list of
// "key=value" lines (an empty list when there is none). The buffer is
// allocated with malloc; the caller frees it with free(). Null with
// ERROR_NOT_ENOUGH_MEMORY when memory runs out.
char* xUtilReadSection(const char* section, const char* iniPath);

// Applies the access-control list of the security descriptor written as
// `descriptorText` (SDDL) to the file or folder `path`, protected from
// inheritance when its "D:" flags say so (P); nothing else of the
// descriptor is applied. Returns 1, or 0 with the last error:
// ERROR_INVALID_DATA when the text gives no descriptor with an access-control
// list, ERROR_PROC_NOT_FOUND when the system lacks the security functions,
// or the system's error from applying it. The installation log gets a
// set-security line either way.
int xUtilApplyFileSecurity(const char* descriptorText, const char* path);

// The security descriptor written as `text` (SDDL), to be freed with
// LocalFree. Null when the text is no descriptor (the last error says why),
// or when the system has no text descriptors (Windows 9x, NT 4): then
// `unsupported` is true and objects are made with the system's defaults.
PSECURITY_DESCRIPTOR xUtilDescriptorFromText(const char* text, bool* unsupported);

// Creates the folder `path` and the folders above it that are missing. The
// uppermost folder created gets the protected permissions of
// kTargetFolderSddl (the ones below inherit them), so that users without
// administrator rights cannot change what is installed there. `created`
// tells whether anything was created; with `logged` the installation log
// gets a make-folder line per folder (setup's own folders go unlogged). Windows without text security
// descriptors (9x, NT 4) makes the folders as it does. Returns 1, or 0 with
// the last error.
int xUtilCreateProtectedFolder(const char* path, bool* created, bool logged = true);

// The access-control list of the file or folder `path` as SDDL text
// ("D:..."). 0 with the last error when it cannot be read.
int xUtilReadFileSecurity(const char* path, std::string* sddl);
