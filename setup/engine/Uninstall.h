// Uninstall registration: every installed product of a script gets an entry
// in the Windows list of installed programs, under HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\<key>", whose removal
// command starts the installed copy of setup with "/remove:<key>". The
// entries also carry the installed version and the directories used, which a
// later installation from the same script recalls.
//
// Keys: a product key (field 0 of its products line) or the global uninstall
// key name (field 1 of the install section's `Uninstall` line). The key list
// of a script is the global name (when there is one) followed by every key
// of the products section, in order. Directory identifier 32768 always
// stands for the target directory; a key with a `ProductDestinationDirs`
// line (key = directory identifier, sub-directory) has its own directory
// below it.
//
// Register, DeleteUninstallEntries and IsRegistered run on the run thread;
// recall and assignment on the main thread, never at the same time.
#pragma once

#include "PairList.h"

#include <windows.h>
#include <setupapi.h>

// The directory identifier of the target directory.
enum : DWORD { kTargetDirectoryId = 32768 };

// The path the script copies `fileName` to: the first line of a file-copy
// section named by `CopyFiles` of the install section, else of a product's
// install section (products line field 2), whose destination name equals
// `fileName` without regard to case, in the Setup API's target directory of
// that section. Fills `path` (260 bytes); 1 when found.
int FindSetupPath(HINF script, const char* fileName, const char* installSection, const char* productsSection,
                  char* path);

// Writes the entries of the products in `productList` (a text list of
// product keys) whose products line has a remove section, then the global
// entry when the install section has an `Uninstall` line; existing entries
// are overwritten. Values in this order: DisplayName, UninstallString
// (the setup path in double quotes, " /remove:" and the key), Publisher and HelpLink (strings
// 1345 and 1344 of the running program in the thread's language; for
// products only when not empty), ProductVersion and
// DisplayVersion (products line field 7, or the install section's
// `ProductVer`, with a "@file" reference resolved; only when present and
// resolvable), UserTargetDir (REG_MULTI_SZ of the target directory and the
// key's directory from `pairs`, else REG_SZ of the target directory), then
// QuietUninstallString (the removal command with " /quiet"),
// InstallLocation (the target directory), NoModify and NoRepair (DWORD 1).
// Nothing is written when the script copies no "setup.exe". Returns 1 when
// every entry was written; 0 with the last error when there is no setup
// path or a key cannot be created (entries written before stay).
int RegisterUninstall(HINF script, const char* productList, const char* productsSection,
                      const char* installSection, const char* targetDir, const PairList* pairs);

// Deletes the entries of the keys in `productList`; failures are ignored.
void DeleteUninstallEntries(const char* productList);

// Whether the entry of `key` exists (it opens with full access).
int IsRegistered(const char* key);

// Whether `key` names an entry of this script: it holds no backslash (which
// would reach another registry key) and equals, without regard to case, a
// key of the script's key list. Only such keys may be removed.
int IsScriptKey(HINF script, const char* productsSection, const char* installSection, const char* key);

// Reads the directories back from the entries of the script's key list:
// the first registered base directory becomes the target directory
// (`targetDir`, 260 bytes), else `defaultDir` (may be null). Each
// registered key with a sub-directory line gets its registered directory,
// each other key with such a line the target directory and its
// sub-directory; their directory identifiers are set, and `pairs` (may be
// null) is rebuilt with them. Sets identifier 32768 to a non-empty target
// directory. Returns the number of keys registered with a directory.
int RecallDirectories(HINF script, const char* productsSection, const char* installSection,
                      const char* defaultDir, char* targetDir, PairList* pairs);

// Sets identifier 32768 to `targetDir` and the identifier of every key with
// a sub-directory line to the target directory and its sub-directory,
// rebuilding `pairs` (may be null) with those directories. Returns 1 when
// the Setup API accepted every identifier; after the first refusal no
// further identifier is set and the result is 0 with the last error.
int AssignDirectories(HINF script, const char* productsSection, const char* installSection,
                      const char* targetDir, PairList* pairs);
