// Access rules for the folders an installation makes, read from and written
// as security descriptor text (SDDL). Plain text logic without windows.h.
#pragma once

#include <string>

// The target folder setup creates: protected from the permissions of its
// parent (below C:\ every signed-in user could replace the installed
// programs), full control for SYSTEM and the Administrators, read and
// execute for the Users; folders and files below inherit it.
extern const char kTargetFolderSddl[];

// Whether the access-control list of `sddl` is protected from inheritance
// (its "D:" flags hold P).
bool SddlDaclProtected(const std::string& sddl);

// Whether `sddl` lets a user without administrator rights write: a missing
// or null access-control list, or an allowing entry for Everyone,
// Authenticated Users, Users or Interactive with any right to write, append,
// delete, create, or change attributes, permissions or owner (also one that
// applies only to what is created inside).
bool SddlLetsUsersWrite(const std::string& sddl);
