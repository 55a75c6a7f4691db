// After a removal's file deletions: the folders of the target's
// sub-directory path (DefaultDestDir = 24,Vantor\Modem Tools gives
// "Modem Tools", then "Vantor") go when they are empty, so that nothing the
// installation made is left behind. Never the base folder above them, never
// a folder that still holds anything.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <atomic>
#include <string>
#include <vector>

// Removes the empty folders of the sub-directory path of `targetDir`, deepest
// first, stopping at the first one that holds something. A folder that
// holds only what waits for deletion at the restart (`pending`: full paths,
// files or folders) is scheduled for deletion at the restart after it, as
// is an empty one that cannot be removed now (NT family; Windows 9x cannot
// delete folders at a restart); each scheduled folder is added to `pending`
// and sets `rebootNeeded`.
void RemoveEmptySubDirectories(HINF script, const char* targetDir, std::vector<std::string>* pending,
                               std::atomic<int>* rebootNeeded);
