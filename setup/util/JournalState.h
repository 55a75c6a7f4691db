// What the journal's record and undo halves share (not for other callers).
#pragma once

#include "Journal.h"
#include "JournalText.h"

#include <windows.h>

#include <string>

namespace journal {

// The folder that holds every run's journal folder, with its backslash.
std::string RootFolder();

// Registry roots as the journal writes them ("HKLM", ...); null for others.
const char* RootName(HKEY root);
HKEY RootOf(const std::string& name);

// Undoes the journal of the folder `folder` (with its backslash) whose file
// is open as `file`: reverse order, logged, summary; then the folder is
// removed (at the restart when a kept copy waits there for it).
void UndoJournal(HANDLE file, const std::string& folder, bool* restartNeeded);

}  // namespace journal

// The firewall undo set with JournalSetFirewallUndo (null when none).
JournalFirewallUndo JournalFirewallUndoFunction();
