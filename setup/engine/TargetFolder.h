// The target folder of an installation, made safe before anything is
// installed into it.
#pragma once

// Whether the existing folder `target` lets users without administrator
// rights write to it (they could then replace what is installed there).
// False for a folder that does not exist or whose permissions cannot be read.
bool TargetWritableByUsers(const char* target);

// Before the run changes anything: a missing target folder is created with
// permissions for administrators only (the folders below inherit them); an
// existing one that users may write to is written to the debug log as a
// warning, and the run goes on. 1, or 0 with the last error when the folder
// cannot be created.
int PrepareTargetFolder(const char* target);
