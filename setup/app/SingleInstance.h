// One copy of the installer per program file.
#pragma once

// Creates the mutex named after the program's full path (lower-cased,
// backslashes as underscores) and keeps it for the life of the process.
// Returns true for the first copy. A later copy from the same file gets
// false after it has brought the first copy's hidden "SETUP" window to the
// foreground (restored first when minimised). Copies in different folders
// do not meet.
//
// From Windows Vista on, the mutex lives in the private namespace
// "VantorSetup" bound to the Administrators group, which a normal user can
// neither create nor open: a mutex of that name that a user made elsewhere
// does not stop the installer. Without private namespaces (Windows 95 to
// XP, and Wine) it lives in the session's namespace as before, as it does
// when the namespace cannot be entered (a run without administrator rights).
bool ClaimSingleInstance();

// Writes to the debug log why the namespace could not be entered, if that
// was so. Called once the log's files are open (after the claim).
void ReportSingleInstanceLock();
