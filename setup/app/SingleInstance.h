// One copy of the installer per program file.
#pragma once

// Creates the mutex named after the program's full path (lower-cased,
// backslashes as underscores) and keeps it for the life of the process.
// Returns true for the first copy. A later copy from the same file gets
// false after it has brought the first copy's hidden "SETUP" window to the
// foreground (restored first when minimised). Copies in different folders
// do not meet.
bool ClaimSingleInstance();
