// Whether a setup script is whole enough to install from: a script cut short
// (or with a section misspelt) still opens, and the Setup API skips what it
// names but cannot find, so an installation would report success for a part
// of the product or for nothing. Checked before the wizard of an
// installation:
// - something to install: the install section has lines, or a product is
//   offered;
// - every section that the install section and the offered products'
//   install sections name (CopyFiles, DelFiles, RenFiles, AddReg, DelReg,
//   UpdateInis, MakeIcons, DelIcons, Exec, FileSecurity, Conditions) exists;
//   "@file" and "@program" entries name no section;
// - the fields the installer reads itself (the product lines, DefaultDestDir,
//   Uninstall, StartApp, the shortcut lines, the disk names) hold no string
//   key that [Strings] lacks (StringKeys.h).
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <cstddef>

// 1 when whole. 0 otherwise, with what is missing in `what` (at most
// `whatSize` bytes) and ERROR_INVALID_DATA as the thread's last error.
// Uses the products of the global component list (read before).
int CheckScriptWhole(HINF script, const char* installSection, const char* productsSection, char* what,
                     size_t whatSize);
